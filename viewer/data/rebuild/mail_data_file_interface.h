// The message being rebuilt: the engine's record of it, read in place.
#pragma once

#include "engine/interface/corvex_engine.h"

namespace velmora {

class CMailDataFileInterface {
  public:
    virtual ~CMailDataFileInterface() = default;

    void SetMail(const MailEntry* mail) { mail_ = mail; }
    const MailEntry* Mail() const { return mail_; }

  private:
    const MailEntry* mail_ = nullptr;
};

}  // namespace velmora
