// A store opened a second time, for searching: an engine session of its own
// beside the one the folder tree browses. Indexing replaces a folder's message
// list batch by batch, and the records of search results must outlive any
// folder the user lists; neither may touch the lists the tree shows. Like the
// tree's, its engine calls run on a worker, one at a time.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "viewer/data/binding/pff_data_parser.h"
#include "viewer/data/search_index/search_hit.h"
#include "viewer/panes/open_store.h"

namespace velmora::panes {

class SearchSession {
  public:
    // Opens the store through the open command, under its progress dialog and
    // with its messages; null when the store could not be opened.
    static std::unique_ptr<SearchSession> Open(const std::u16string& storePath,
                                               const OpenStoreContext& context);
    explicit SearchSession(std::unique_ptr<CPFFDataParserInterFace> binding);
    // The records go with the engine's delete export.
    ~SearchSession();
    SearchSession(const SearchSession&) = delete;
    SearchSession& operator=(const SearchSession&) = delete;

    CPFFDataParserInterFace& Binding() const { return *binding_; }
    StatusBlock* Status() const;
    // Whether the user asked the running worker to stop.
    bool StopRequested() const;

    // On the worker: the record of each hit, in the hits' order; null for a
    // hit the engine no longer hands out. Each hit folder is listed once, from
    // its first hit to its last; the records stay until the session lists
    // that folder again or goes.
    std::vector<const MailEntry*> ListHits(const std::vector<search::SearchHit>& hits);

  private:
    std::unique_ptr<CPFFDataParserInterFace> binding_;
};

}  // namespace velmora::panes
