// Store-wide search in the window: Enter in the search field finds the
// query's messages in the selected folder's store (or in every open store)
// and shows them in the mail list, with their folders; Esc or an emptied
// field shows the folder again. Each store is searched through a session of
// its own (SearchSession), whose records back the result rows until the next
// search. Its index is built, when it is missing or unfinished, on a worker
// under the progress dialog, which can stop it; the index keeps what was
// done, and the search runs over that.
#pragma once

#include <QObject>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "viewer/panes/mail_list/mail_list_model.h"
#include "viewer/panes/open_store.h"

class QAction;

namespace Xapian {
class Query;
}

namespace velmora::panes {

class CClassView;
class SearchSession;
class StoreSearchBar;

class StoreSearch final : public QObject {
    Q_OBJECT

  public:
    StoreSearch(StoreSearchBar& bar, CClassView& folders, QObject* parent = nullptr);
    ~StoreSearch() override;

    // Whether a search worker is using the engine now.
    bool WorkerRunning() const { return workerRunning_; }
    // Edit > Find in Store… (Ctrl+Shift+F, F3): the keyboard goes to the field.
    QAction& FindAction() const { return *find_; }
    // Tools > Forget Search Indexes, after asking the user.
    QAction& ForgetAction() const { return *forget_; }

    void Search(const QString& query, bool allStores);
    // Shows the folder listed last again when results are shown.
    void EndSearch();

  signals:
    // The result rows are about to go: views must let go of them now.
    void ResultsReleasing();
    void ResultsFound(const std::vector<FoundMail>* found);
    // One line for the status bar; also said from the worker while indexing.
    void StatusText(const QString& text);

  private:
    struct StoreResults;

    std::vector<std::u16string> TargetStores(bool allStores) const;
    SearchSession* SessionFor(const std::u16string& storePath);
    StoreResults SearchStore(const std::u16string& storePath, const Xapian::Query& query);
    void RunWorker(StatusBlock* status, ThreadProc proc);
    void ForgetIndexes();

    StoreSearchBar& bar_;
    CClassView& folders_;
    QAction* find_;
    QAction* forget_;
    bool workerRunning_ = false;
    bool showingResults_ = false;
    std::map<std::u16string, std::unique_ptr<SearchSession>> sessions_;
    std::vector<FoundMail> found_;
};

}  // namespace velmora::panes
