// The modal "Progress Summary" dialog under which every long engine call runs
// on a worker thread: it shows the worker's status texts and a moving bar,
// lets the user ask the engine to stop, and ends only when the worker has.
#pragma once

#include <QDialog>
#include <QTimer>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "engine/interface/corvex_engine.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace velmora::panes {

// How a worker shows a new second status line: it returns once the dialog shows it.
using StatusTextSink = std::function<void(const std::u16string&)>;
using ThreadProc = std::function<void(const StatusTextSink&)>;

class CDlgThreadStatus : public QDialog {
    Q_OBJECT

  public:
    // `block` is the store's status block (its stop word and texts); it and
    // everything `proc` uses must outlive the dialog.
    CDlgThreadStatus(StatusBlock* block, ThreadProc proc, QWidget* parent = nullptr);
    // Never leaves a worker running: asks it to stop and waits for it.
    ~CDlgThreadStatus() override;

    // Starts the worker and the bar without entering a loop of its own.
    void Start();
    // Starts, shows the dialog modally and returns once the worker has ended.
    int RunModal();
    bool WorkerEnded() const { return workerEnded_.load(); }

    // Enter does nothing: only the worker's end closes the dialog.
    void accept() override {}
    // Cancel, Esc and closing the window ask the engine to stop; the dialog stays.
    void reject() override;

  private:
    void ShowSecondText(const std::u16string& text);
    void RefreshTexts();
    void Advance();
    void OnWorkerEnded();
    void WriteStopWord(std::int32_t value);
    void WaitForWorker();

    StatusBlock* block_;
    ThreadProc proc_;
    std::thread worker_;
    std::atomic<bool> workerEnded_{false};
    QTimer timer_;
    QLabel* firstLine_;
    QLabel* secondLine_;
    QProgressBar* bar_;
    QPushButton* cancel_;
};

// Runs `proc` under a CDlgThreadStatus over `parent`; returns when it has ended.
void RunUnderProgressDialog(QWidget* parent, StatusBlock* block, ThreadProc proc);

}  // namespace velmora::panes
