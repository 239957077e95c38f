#include "viewer/panes/message_properties/property_value_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextOption>
#include <QVBoxLayout>

#include "common/property_ids.h"

namespace velmora {
namespace {

bool IsText(std::uint16_t type) {
    return type == common::ptype::kString8 || type == common::ptype::kUnicode;
}

// Hexadecimal text in lines of 32 bytes: a single line of a megabyte of
// digits is more than a text view lays out in good time.
QString HexInLines(const QString& text) {
    constexpr qsizetype kDigitsPerLine = 64;
    if (!text.startsWith(QLatin1String("0x")) || text.size() <= 2 + kDigitsPerLine) return text;
    QString lines = text.left(2);
    for (qsizetype at = 2; at < text.size(); at += kDigitsPerLine) {
        if (at > 2) lines += u'\n';
        lines += QStringView(text).mid(at, kDigitsPerLine);
    }
    return lines;
}

}  // namespace

CPropertyValueDlg::CPropertyValueDlg(const PropertyLine& line, std::uint32_t codePage,
                                     QWidget* parent)
    : QDialog(parent), view_(new QPlainTextEdit(this)) {
    setObjectName("PropertyValue");
    setWindowTitle(tr("%1 (%2)").arg(QString::fromStdU16String(line.name),
                                     QString::fromStdU16String(line.tag)));
    setAccessibleName(windowTitle());
    text_ = QString::fromStdU16String(FullValueText(line, codePage, kMaxShownBytes));
    view_->setObjectName("PropertyValueText");
    view_->setAccessibleName(tr("Value"));
    view_->setReadOnly(true);
    // Every line wraps, long runs of digits too: nothing is off to the side.
    view_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setPlainText(IsText(line.type) ? text_ : HexInLines(text_));

    auto* layout = new QVBoxLayout(this);
    auto* size = new QLabel(this);
    size->setObjectName("PropertyValueSize");
    const QLocale locale;
    size->setText(line.size > kMaxShownBytes
                      ? tr("%1 bytes; the first %2 are shown.")
                            .arg(locale.toString(static_cast<qulonglong>(line.size)),
                                 locale.toString(static_cast<qulonglong>(kMaxShownBytes)))
                      : tr("%1 bytes").arg(locale.toString(static_cast<qulonglong>(line.size))));
    size->setAccessibleName(size->text());
    layout->addWidget(size);
    layout->addWidget(view_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copy = buttons->addButton(tr("&Copy Value"), QDialogButtonBox::ActionRole);
    copy->setObjectName("CopyValue");
    connect(copy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(text_); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 420);
}

}  // namespace velmora
