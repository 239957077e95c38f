// File > Save Message As... (Ctrl+S) and the mail list's context menu: the
// selected message written as one standard .eml file, exactly as the
// convert command writes it (see viewer/data/mail_writer).
#pragma once

#include <QAction>
#include <QObject>
#include <functional>

class QWidget;

namespace velmora {

class CListCtrlMails;

class MessageSaveCommand final : public QObject {
    Q_OBJECT

  public:
    // Where to save, given the name offered; empty when the user cancels.
    using PathChooser = std::function<QString(QWidget* parent, const QString& offeredName)>;
    // True while a worker has the engine: the records may not be read then.
    using WorkerRunning = std::function<bool()>;

    MessageSaveCommand(CListCtrlMails& list, WorkerRunning workerRunning, QWidget* parent);

    // Enabled while a message is selected; also in the mail list's context menu.
    QAction* Action() const { return action_; }
    void SetPathChooser(PathChooser chooser) { chooser_ = std::move(chooser); }

  signals:
    // A message was written, or could not be: the text for the status bar.
    void Reported(const QString& text);

  private:
    void Save();

    CListCtrlMails& list_;
    WorkerRunning workerRunning_;
    QWidget* parent_;
    QAction* action_;
    PathChooser chooser_;
};

}  // namespace velmora
