// Xapian names a member "slots": it comes before any Qt header.
#include <xapian.h>

#include "viewer/panes/store_search/store_search.h"

#include <QAction>
#include <QFileInfo>
#include <QMessageBox>
#include <algorithm>

#include "viewer/data/rebuild/message_box.h"
#include "viewer/data/search_index/index_builder.h"
#include "viewer/data/search_index/index_location.h"
#include "viewer/data/search_index/index_search.h"
#include "viewer/data/search_index/query_parser.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/store_search/search_bar.h"
#include "viewer/panes/store_search/search_session.h"

namespace velmora::panes {
namespace {

QString Utf8(const std::string& text) {
    return QString::fromStdString(text);
}

QString IndexingText(const search::IndexProgress& step) {
    return QObject::tr("Indexing\u2026 %1 of %2 messages").arg(step.done).arg(step.total);
}

// Where the index of the store lives; nothing with the reason in `error`.
std::optional<std::filesystem::path> IndexFolderOf(const search::StoreStamp& stamp,
                                                   std::string& error) {
    const auto root = search::SearchIndexRoot(error);
    return root ? search::StoreIndexFolder(*root, stamp, error) : std::nullopt;
}

// A found row and its submit time, for ordering the rows of several stores.
struct TimedRow {
    std::uint64_t submitTime;
    FoundMail row;
};

// Newest first, messages without a time last, as each store's hits come.
void SortNewestFirst(std::vector<TimedRow>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const TimedRow& a, const TimedRow& b) {
        if ((a.submitTime == 0) != (b.submitTime == 0)) return b.submitTime == 0;
        return a.submitTime > b.submitTime;
    });
}

}  // namespace

// What searching one store gave: its hits, the record of each (null for one
// the engine no longer hands out), and what the user should know.
struct StoreSearch::StoreResults {
    std::vector<search::SearchHit> hits;
    std::vector<const MailEntry*> records;
    QStringList notes;
};

StoreSearch::StoreSearch(StoreSearchBar& bar, CClassView& folders, QObject* parent)
    : QObject(parent),
      bar_(bar),
      folders_(folders),
      find_(new QAction(tr("&Find in Store\u2026"), this)),
      forget_(new QAction(tr("&Forget Search Indexes"), this)) {
    find_->setObjectName("FindInStore");
    find_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), QKeySequence(Qt::Key_F3)});
    find_->setStatusTip(tr("Find messages in the selected folder's store"));
    connect(find_, &QAction::triggered, &bar_, &StoreSearchBar::FocusField);
    forget_->setObjectName("ForgetSearchIndexes");
    forget_->setStatusTip(tr("Remove the search index of every store"));
    connect(forget_, &QAction::triggered, this, &StoreSearch::ForgetIndexes);

    connect(&bar_, &StoreSearchBar::SearchRequested, this, &StoreSearch::Search);
    connect(&bar_, &StoreSearchBar::SearchEnded, this, &StoreSearch::EndSearch);
    // A folder the user lists replaces the results.
    connect(&folders_, &CClassView::FolderMailsListed, this, [this] { showingResults_ = false; });
}

StoreSearch::~StoreSearch() = default;

void StoreSearch::Search(const QString& query, bool allStores) {
    const search::ParsedQuery parsed = search::ParseQuery(query.toStdString());
    if (!parsed.query) {
        emit StatusText(tr("Query: %1").arg(Utf8(parsed.error)));
        return;
    }
    const std::vector<std::u16string> stores = TargetStores(allStores);
    if (stores.empty()) {
        emit StatusText(tr("Open a store to search it"));
        return;
    }
    // The sessions list their folders again: the rows shown so far go first.
    emit ResultsReleasing();
    found_.clear();
    std::vector<TimedRow> rows;
    QStringList notes;
    for (const std::u16string& store : stores) {
        StoreResults results = SearchStore(store, *parsed.query);
        const QString prefix =
            stores.size() > 1 ? QFileInfo(QString::fromStdU16String(store)).fileName() + "/" : "";
        for (std::size_t i = 0; i < results.hits.size() && i < results.records.size(); ++i) {
            if (results.records[i] == nullptr) continue;
            rows.push_back({results.hits[i].submitTime,
                            {results.records[i], prefix + Utf8(results.hits[i].folderPath)}});
        }
        notes << results.notes;
    }
    SortNewestFirst(rows);
    for (TimedRow& row : rows) found_.push_back(std::move(row.row));
    showingResults_ = true;
    emit ResultsFound(&found_);
    notes.prepend(tr("%n message(s) found", "", static_cast<int>(found_.size())));
    emit StatusText(notes.join("; "));
}

void StoreSearch::EndSearch() {
    if (!showingResults_) return;
    showingResults_ = false;
    emit ResultsReleasing();
    folders_.RelistFolder();
}

std::vector<std::u16string> StoreSearch::TargetStores(bool allStores) const {
    const StoreList& list = folders_.Tree().Stores();
    std::vector<std::u16string> paths;
    const auto add = [&paths](const StoreView* store) {
        EngineHandle* handle = store != nullptr ? store->Binding().Handle() : nullptr;
        if (handle == nullptr || handle->storePath == nullptr) return;
        std::u16string path(handle->storePath);
        if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(path);
    };
    if (!allStores) {
        // With nothing selected yet, the first store is the one in view.
        const StoreView* selected = folders_.SelectedStore();
        add(selected != nullptr || list.StoreCount() == 0 ? selected : list.Store(0));
        return paths;
    }
    for (int row = 0; row < list.StoreCount(); ++row) add(list.Store(row));
    return paths;
}

SearchSession* StoreSearch::SessionFor(const std::u16string& storePath) {
    auto& session = sessions_[storePath];
    if (!session) {
        OpenStoreContext context = folders_.OpenContext();
        context.runWorker = [this](StatusBlock* status, ThreadProc proc) {
            RunWorker(status, std::move(proc));
        };
        session = SearchSession::Open(storePath, context);
    }
    return session.get();
}

void StoreSearch::RunWorker(StatusBlock* status, ThreadProc proc) {
    workerRunning_ = true;
    folders_.OpenContext().runWorker(status, std::move(proc));
    workerRunning_ = false;
}

StoreSearch::StoreResults StoreSearch::SearchStore(const std::u16string& storePath,
                                                   const Xapian::Query& query) {
    StoreResults results;
    const QString name = QFileInfo(QString::fromStdU16String(storePath)).fileName();
    SearchSession* session = SessionFor(storePath);
    if (session == nullptr) {
        // The open command has told the user why.
        results.notes << tr("%1 was not searched").arg(name);
        return results;
    }
    std::string error;
    const auto stamp = search::ReadStoreStamp(std::filesystem::path(storePath), error);
    const auto indexFolder = stamp ? IndexFolderOf(*stamp, error) : std::nullopt;
    if (!indexFolder) {
        results.notes << Utf8(error);
        return results;
    }
    search::IndexOutcome built{true, 0, 0, {}};
    if (!search::IsIndexComplete(*indexFolder, *stamp)) {
        search::IndexOptions options;
        options.stopRequested = [session] { return session->StopRequested(); };
        RunWorker(session->Status(), [&](const StatusTextSink& showText) {
            options.progress = [&](const search::IndexProgress& step) {
                const QString text = IndexingText(step);
                showText(text.toStdU16String());
                emit StatusText(text);  // from the worker: queued to the status bar
            };
            built = search::BuildIndex(*indexFolder, *stamp, session->Binding(), options);
        });
    }
    if (!built.error.empty()) {
        results.notes << Utf8(built.error);
        return results;
    }
    if (!built.complete)
        results.notes << tr("%1: indexing stopped after %2 messages; search again to go on")
                             .arg(name)
                             .arg(built.indexed);
    if (built.unreadable > 0)
        results.notes << tr("%1: %2 messages could not be read and are not searched")
                             .arg(name)
                             .arg(built.unreadable);
    search::SearchOutcome found = search::SearchIndex(*indexFolder, query);
    if (!found.error.empty()) {
        results.notes << Utf8(found.error);
        return results;
    }
    results.hits = std::move(found.hits);
    RunWorker(session->Status(), [&](const StatusTextSink& showText) {
        showText(u"Reading the messages found...");
        results.records = session->ListHits(results.hits);
    });
    return results;
}

void StoreSearch::ForgetIndexes() {
    QWidget* window = bar_.window();
    const auto answer = QMessageBox::question(
        window, tr("Forget Search Indexes"),
        tr("Remove the search index of every store? Each store is indexed again at its next "
           "search."));
    if (answer != QMessageBox::Yes) return;
    std::string error;
    if (!search::ForgetSearchIndexes(error)) {
        ShowMessageBox(kApplicationTitle, QString::fromStdString(error).toStdU16String());
        return;
    }
    emit StatusText(tr("The search indexes were removed"));
}

}  // namespace velmora::panes
