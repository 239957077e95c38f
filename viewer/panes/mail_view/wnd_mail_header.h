// The header block above a message's body: its subject and date, sender and
// To recipients in read-only fields the user can select and copy from.
#pragma once

#include <QWidget>

#include "engine/interface/corvex_engine.h"

class QLabel;
class QLineEdit;

namespace velmora {

class CWndMailHeader final : public QWidget {
    Q_OBJECT

  public:
    // Three rows of 20 pixels between margins of 1: 4 + 60.
    static constexpr int kHeight = 64;
    static constexpr int kDateWidth = 220;

    explicit CWndMailHeader(QWidget* parent = nullptr);

    // Shows `mail`'s header; null empties every field.
    void ShowMail(const MailEntry* mail);
    void Clear() { ShowMail(nullptr); }

    QLineEdit& Subject() { return *subject_; }
    QLineEdit& Date() { return *date_; }
    QLineEdit& Sender() { return *sender_; }
    QLineEdit& To() { return *to_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QLabel* NewLabel(const QString& text, const char* name);
    QLineEdit* NewField(const QString& accessibleName, const char* name);

    QLabel* subjectLabel_;
    QLabel* fromLabel_;
    QLabel* toLabel_;
    QLineEdit* subject_;
    QLineEdit* date_;
    QLineEdit* sender_;
    QLineEdit* to_;
};

// The sender field's text: the name, then " <address>" when the address is one.
std::u16string SenderLine(const MailEntry* mail);

}  // namespace velmora
