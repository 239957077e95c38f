// One property's whole value, for a value the properties table shows cut:
// read-only text that can be selected and copied.
#pragma once

#include <QDialog>
#include <cstdint>

#include "viewer/data/message_properties/property_line.h"

class QPlainTextEdit;

namespace velmora {

class CPropertyValueDlg final : public QDialog {
    Q_OBJECT

  public:
    // The view holds at most this many of a value's bytes and says so when
    // the value is larger; a page of hexadecimal text longer than that helps
    // no one, and the attachment itself can be saved from the message.
    static constexpr std::uint64_t kMaxShownBytes = 1024 * 1024;

    CPropertyValueDlg(const PropertyLine& line, std::uint32_t codePage, QWidget* parent = nullptr);

    // The value's text as read (without the line breaks the view adds to hexadecimal text).
    const QString& ValueText() const { return text_; }
    QPlainTextEdit& Text() { return *view_; }

  private:
    QString text_;
    QPlainTextEdit* view_;
};

}  // namespace velmora
