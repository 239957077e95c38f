// The status bar. Its message ("Inbox: 250 message(s)", a command's prompt)
// is the text of a label that fills the bar, so that screen readers find it
// in the window's accessibility tree and hear when it changes; a message
// the bar painted itself would be pixels only.
#pragma once

#include <QStatusBar>

class QLabel;

namespace velmora::app {

class StatusLineBar final : public QStatusBar {
    Q_OBJECT

  public:
    explicit StatusLineBar(QWidget* parent = nullptr);

    // The label that shows the message.
    const QLabel& Line() const { return *line_; }

  protected:
    // The panel only: the label shows the message.
    void paintEvent(QPaintEvent* event) override;

  private:
    void ShowMessageText(const QString& text);

    QLabel* line_;
};

}  // namespace velmora::app
