// Attached messages, each in a window of its own: the same header, strip
// and body as the main view, so an attachment of an attached message opens
// the same way again. The windows read the engine's records in place, so
// they must all close before those records go: CloseAll.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "engine/interface/corvex_engine.h"

namespace velmora {

class CVelmoraView;

class CMessageWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit CMessageWindow(QWidget* parent = nullptr);
    CVelmoraView& View() { return *view_; }

  private:
    CVelmoraView* view_;
};

class MessageWindows final : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;
    ~MessageWindows() override;

    // Shows `message` in a new window, titled with its subject.
    void Open(const MailEntry* message);
    // Closes every window this object opened.
    void CloseAll();
    // The windows open now.
    std::vector<CMessageWindow*> Windows() const;

  private:
    std::vector<QPointer<CMessageWindow>> windows_;
};

}  // namespace velmora
