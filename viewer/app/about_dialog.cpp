#include "viewer/app/about_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "viewer/app/app_settings.h"

namespace velmora::app {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    const QString name = QString::fromLatin1(kApplicationName);
    setObjectName("AboutDialog");
    setWindowTitle(tr("About ") + name);
    setAccessibleName(windowTitle());

    auto* product = new QLabel(name, this);
    product->setObjectName("ProductLine");
    product->setAccessibleName(tr("Product"));
    auto* version = new QLabel(QString::fromLatin1(kProductVersionText), this);
    version->setObjectName("VersionLine");
    version->setAccessibleName(tr("Version"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(tr("Close"), QDialogButtonBox::AcceptRole);
    close->setObjectName("Close");
    close->setAccessibleName(tr("Close"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(product);
    layout->addWidget(version);
    layout->addWidget(buttons);
}

}  // namespace velmora::app
