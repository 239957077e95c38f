// A message's page for the viewer: the rebuild passes bodies and attachments
// through files on their way into the message, but the page it writes holds
// every byte of them. Those files go as soon as the page is written, so a
// shown message leaves nothing but its page behind.
#pragma once

#include <filesystem>
#include <future>
#include <string>

#include "engine/interface/corvex_engine.h"

namespace velmora {

// The scratch folder one page was rebuilt in. It goes when the object goes,
// or on a thread of its own once RemoveBeside is called: removing a folder
// costs as much as the rest of the rebuild on a disk that is slow to delete,
// and the page can load meanwhile. The object waits for that removal when it
// goes or takes another folder.
class PageScratch {
  public:
    PageScratch() = default;
    ~PageScratch();
    PageScratch(PageScratch&& other) noexcept;
    PageScratch& operator=(PageScratch&& other) noexcept;
    PageScratch(const PageScratch&) = delete;
    PageScratch& operator=(const PageScratch&) = delete;

    // Takes over `folder`; the folder held before goes first.
    void Hold(std::filesystem::path folder);
    // Starts removing the folder held on a thread of its own (here, when no
    // thread can be started).
    void RemoveBeside();
    // Returns once the folder held is gone.
    void Wait();

  private:
    std::filesystem::path folder_;
    std::future<void> removal_;
};

// Renders `mail` into the page file `target` (see RenderSelectedMessage); the
// files the rebuild passes through are made in a scratch folder of their own,
// removed before this returns. False when no page was written.
bool RenderMessagePage(const MailEntry* mail, const std::u16string& target);

// The same, but the scratch folder is handed to `scratch` instead of removed,
// so that the caller can remove it while the page loads.
bool RenderMessagePage(const MailEntry* mail, const std::u16string& target, PageScratch& scratch);

}  // namespace velmora
