#include "viewer/app/toolbar_customize.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSettings>
#include <QStringList>
#include <QToolBar>
#include <QVBoxLayout>

#include "viewer/app/app_settings.h"

namespace velmora::app {
namespace {

constexpr char kCustomizeName[] = "CustomizeButton";

QString HiddenKey(const QToolBar* toolBar) {
    return QStringLiteral("Toolbars/%1/HiddenButtons").arg(toolBar->objectName());
}
QString StyleKey(const QToolBar* toolBar) {
    return QStringLiteral("Toolbars/%1/ButtonStyle").arg(toolBar->objectName());
}

// The buttons the user may hide: every one but the separators and Customize itself.
QList<QAction*> CustomizableActions(const QToolBar* toolBar) {
    QList<QAction*> actions;
    for (QAction* action : toolBar->actions()) {
        if (!action->isSeparator() && action->objectName() != kCustomizeName)
            actions.push_back(action);
    }
    return actions;
}

void SaveChoices(const QToolBar* toolBar) {
    QStringList hidden;
    for (const QAction* action : CustomizableActions(toolBar)) {
        if (!action->isVisible()) hidden << action->objectName();
    }
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    settings.setValue(HiddenKey(toolBar), hidden);
    settings.setValue(StyleKey(toolBar), static_cast<int>(toolBar->toolButtonStyle()));
}

void RestoreChoices(QToolBar* toolBar) {
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    const QStringList hidden = settings.value(HiddenKey(toolBar)).toStringList();
    for (QAction* action : CustomizableActions(toolBar))
        action->setVisible(!hidden.contains(action->objectName()));
    const int style = settings.value(StyleKey(toolBar), -1).toInt();
    // A value of another version or a hand edit is ignored.
    if (style >= Qt::ToolButtonIconOnly && style <= Qt::ToolButtonTextUnderIcon)
        toolBar->setToolButtonStyle(static_cast<Qt::ToolButtonStyle>(style));
}

QString PlainText(const QAction* action) {
    return QString(action->text()).remove(QLatin1Char('&'));
}

}  // namespace

void AddCustomizeButton(QToolBar* toolBar) {
    RestoreChoices(toolBar);
    toolBar->addSeparator();
    QAction* customize = toolBar->addAction(QObject::tr("Customize..."));
    customize->setObjectName(kCustomizeName);
    QObject::connect(customize, &QAction::triggered, toolBar, [toolBar] {
        CToolbarCustomizeDialog dialog(toolBar, toolBar->window());
        dialog.exec();
    });
}

CToolbarCustomizeDialog::CToolbarCustomizeDialog(QToolBar* toolBar, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Customize"));
    setObjectName("CustomizeDialog");
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Buttons of the \"%1\" toolbar:").arg(toolBar->windowTitle())));
    for (QAction* action : CustomizableActions(toolBar)) {
        auto* shown = new QCheckBox(PlainText(action), this);
        shown->setObjectName(action->objectName());
        shown->setChecked(action->isVisible());
        connect(shown, &QCheckBox::toggled, this, [toolBar, action](bool on) {
            action->setVisible(on);
            SaveChoices(toolBar);
        });
        layout->addWidget(shown);
    }
    auto* style = new QComboBox(this);
    style->setObjectName("ButtonStyle");
    style->setAccessibleName(tr("Button labels"));
    const std::pair<QString, Qt::ToolButtonStyle> styles[] = {
        {tr("Text beside icons"), Qt::ToolButtonTextBesideIcon},
        {tr("Icons only"), Qt::ToolButtonIconOnly},
        {tr("Text only"), Qt::ToolButtonTextOnly},
        {tr("Text under icons"), Qt::ToolButtonTextUnderIcon}};
    for (const auto& [text, value] : styles) {
        style->addItem(text, static_cast<int>(value));
        if (value == toolBar->toolButtonStyle()) style->setCurrentIndex(style->count() - 1);
    }
    connect(style, &QComboBox::currentIndexChanged, this, [toolBar, style](int) {
        toolBar->setToolButtonStyle(static_cast<Qt::ToolButtonStyle>(style->currentData().toInt()));
        SaveChoices(toolBar);
    });
    auto* form = new QFormLayout;
    form->addRow(tr("Button &labels:"), style);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

}  // namespace velmora::app
