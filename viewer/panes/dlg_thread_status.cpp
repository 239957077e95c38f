#include "viewer/panes/dlg_thread_status.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <chrono>

namespace velmora::panes {
namespace {

constexpr int kTickMilliseconds = 500;
constexpr int kStepPerTick = 10;
constexpr int kBarRange = 100;

QString CopiedText(CSThreadStatusMessage* message,
                   void (*copy)(CSThreadStatusMessage*, CorvexChar*, std::uint32_t)) {
    CorvexChar text[CORVEX_STATUS_TEXT_LENGTH] = {};
    copy(message, text, CORVEX_STATUS_TEXT_LENGTH);
    return QString::fromUtf16(text);
}

// The message's operations, when the engine has made a message with them.
const CSThreadStatusMessageOps* MessageOps(const StatusBlock* block) {
    if (block == nullptr || block->message == nullptr) return nullptr;
    return block->message->ops;
}

}  // namespace

CDlgThreadStatus::CDlgThreadStatus(StatusBlock* block, ThreadProc proc, QWidget* parent)
    : QDialog(parent), block_(block), proc_(std::move(proc)) {
    setWindowTitle(tr("Progress Summary"));
    setObjectName("ProgressSummary");
    setAccessibleName(windowTitle());
    setModal(true);

    firstLine_ = new QLabel(tr("Please wait while processing..."), this);
    firstLine_->setObjectName("FirstStatusLine");
    firstLine_->setAccessibleName(tr("First status line"));
    secondLine_ = new QLabel(tr("Recovering data..."), this);
    secondLine_->setObjectName("SecondStatusLine");
    secondLine_->setAccessibleName(tr("Second status line"));
    bar_ = new QProgressBar(this);
    bar_->setObjectName("Progress");
    bar_->setAccessibleName(tr("Progress"));
    bar_->setRange(0, kBarRange);
    bar_->setValue(0);
    bar_->setTextVisible(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    cancel_->setObjectName("Cancel");
    cancel_->setAccessibleName(tr("Cancel"));
    // Not a default button, so that Enter does not reach it.
    cancel_->setAutoDefault(false);
    cancel_->setDefault(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgThreadStatus::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar_);
    layout->addWidget(firstLine_);
    layout->addWidget(secondLine_);
    layout->addWidget(buttons);

    timer_.setInterval(kTickMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &CDlgThreadStatus::Advance);
}

CDlgThreadStatus::~CDlgThreadStatus() {
    WaitForWorker();
}

void CDlgThreadStatus::Start() {
    if (worker_.joinable() || workerEnded_.load()) return;
    timer_.start();
    cancel_->setEnabled(true);
    worker_ = std::thread([this] {
        proc_([this](const std::u16string& text) { ShowSecondText(text); });
        workerEnded_.store(true);
        // Posted, not sent: the worker never waits for the dialog at its end.
        QMetaObject::invokeMethod(this, &CDlgThreadStatus::OnWorkerEnded, Qt::QueuedConnection);
    });
}

int CDlgThreadStatus::RunModal() {
    Start();
    // The loop may also end early when the whole program is asked to quit.
    const int result = exec();
    WaitForWorker();
    return result;
}

void CDlgThreadStatus::reject() {
    cancel_->setEnabled(false);
    WriteStopWord(CORVEX_STOP_STATE);
}

void CDlgThreadStatus::ShowSecondText(const std::u16string& text) {
    const CSThreadStatusMessageOps* ops = MessageOps(block_);
    if (ops == nullptr || ops->setSecondText == nullptr) return;
    ops->setSecondText(block_->message, text.c_str());
    // Synchronous: the worker goes on only once the dialog has read the texts.
    QMetaObject::invokeMethod(this, &CDlgThreadStatus::RefreshTexts, Qt::BlockingQueuedConnection);
}

void CDlgThreadStatus::RefreshTexts() {
    const CSThreadStatusMessageOps* ops = MessageOps(block_);
    if (ops == nullptr) return;
    CSThreadStatusMessage* message = block_->message;
    if (message->firstChanged && ops->copyFirstText != nullptr)
        firstLine_->setText(CopiedText(message, ops->copyFirstText));
    if (message->secondChanged && ops->copySecondText != nullptr)
        secondLine_->setText(CopiedText(message, ops->copySecondText));
}

void CDlgThreadStatus::Advance() {
    // Activity, not a fraction: the bar fills in five seconds and starts again.
    bar_->setValue((bar_->value() + kStepPerTick) % kBarRange);
}

void CDlgThreadStatus::OnWorkerEnded() {
    if (worker_.joinable()) worker_.join();
    WriteStopWord(CORVEX_DONE_STATE);
    timer_.stop();
    QDialog::done(QDialog::Accepted);
}

void CDlgThreadStatus::WriteStopWord(std::int32_t value) {
    // The engine reads the word on the worker thread while the walk runs.
    if (block_ != nullptr && block_->stopWord != nullptr)
        std::atomic_ref<std::int32_t>(*block_->stopWord).store(value);
}

void CDlgThreadStatus::WaitForWorker() {
    if (!worker_.joinable()) return;
    if (!workerEnded_.load()) WriteStopWord(CORVEX_STOP_STATE);
    // The worker may be waiting for the dialog to show a text: keep serving it.
    while (!workerEnded_.load()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The end notice may have been served meanwhile and joined already.
    if (worker_.joinable()) worker_.join();
    WriteStopWord(CORVEX_DONE_STATE);
    timer_.stop();
}

void RunUnderProgressDialog(QWidget* parent, StatusBlock* block, ThreadProc proc) {
    CDlgThreadStatus dialog(block, std::move(proc), parent);
    dialog.RunModal();
}

}  // namespace velmora::panes
