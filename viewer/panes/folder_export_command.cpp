#include "viewer/panes/folder_export_command.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>

#include "common/path_text.h"
#include "viewer/data/rebuild/message_box.h"

namespace velmora::panes {
namespace {

// Written messages between two updates of the dialog's count: each update waits for the dialog.
constexpr std::size_t kCountStep = 10;

std::string StoreFileName(CPFFDataParserInterFace& binding) {
    const EngineHandle* handle = binding.Handle();
    if (handle == nullptr || handle->storePath == nullptr) return {};
    return common::PathFromUtf16(handle->storePath).filename().string();
}

}  // namespace

std::optional<ExportChoice> AskExportChoice(QWidget* parent, const QString& folderName) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QObject::tr("Export Folder"));
    auto* format = new QComboBox(&dialog);
    format->setAccessibleName(QObject::tr("Format"));
    format->addItems(
        {QObject::tr("One mbox file per folder"), QObject::tr("One .eml file per message")});
    auto* subfolders = new QCheckBox(QObject::tr("Include &subfolders"), &dialog);
    subfolders->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(QObject::tr("Export \"%1\" as:").arg(folderName), format);
    layout->addRow(subfolders);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QString directory =
        QFileDialog::getExistingDirectory(parent, QObject::tr("Export Folder Into"));
    if (directory.isEmpty()) return std::nullopt;
    return ExportChoice{format->currentIndex() == 0 ? MailFormat::kMbox : MailFormat::kEml,
                        subfolders->isChecked(), directory};
}

QString ExportFolder(CPFFDataParserInterFace& binding, FolderEntry* folder,
                     const ExportChoice& choice, const ProgressRunner& runWorker) {
    EngineHandle* handle = binding.Handle();
    if (handle == nullptr || handle->status == nullptr || folder == nullptr) return {};
    ConversionRequest request;
    request.format = choice.format;
    request.output = common::PathFromUtf16(choice.directory.toStdU16String());
    request.subfolders = choice.subfolders;
    request.storeName = StoreFileName(binding);
    ConversionEnd end = ConversionEnd::kDone;
    std::size_t written = 0;
    OutputFailure failure;
    runWorker(handle->status, [&](const StatusTextSink& showText) {
        showText(u"Exporting messages");
        FolderConversion conversion(binding, request, {}, [&](std::size_t count) {
            if (count % kCountStep == 0) {
                const std::string number = std::to_string(count);
                showText(std::u16string(number.begin(), number.end()) + u" messages written");
            }
            return true;  // the conversion itself heeds the dialog's Cancel
        });
        end = conversion.Convert({folder});
        written = conversion.MessagesWritten();
        failure = conversion.Failure();
    });
    if (end == ConversionEnd::kFailed) {
        const QString text = QObject::tr("Cannot write %1: %2")
                                 .arg(QString::fromStdString(failure.path.string()),
                                      QString::fromLocal8Bit(failure.reason.c_str()));
        ShowMessageBox(kErrorCaption, text.toStdU16String());
        return text;
    }
    if (end == ConversionEnd::kStopped)
        return QObject::tr("Export stopped; %n message(s) written", "", static_cast<int>(written));
    return QObject::tr("%n message(s) exported to %1", "", static_cast<int>(written))
        .arg(choice.directory);
}

}  // namespace velmora::panes
