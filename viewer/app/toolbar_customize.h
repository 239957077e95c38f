// The toolbar's "Customize..." button: a dialog in which the user picks which
// of the toolbar's buttons show and how they are labelled. Changes apply at
// once and are kept in the settings for the next start.
#pragma once

#include <QDialog>

class QToolBar;

namespace velmora::app {

// Puts the "Customize..." button at the end of `toolBar`, and applies the
// choices the settings keep.
void AddCustomizeButton(QToolBar* toolBar);

class CToolbarCustomizeDialog final : public QDialog {
    Q_OBJECT

  public:
    CToolbarCustomizeDialog(QToolBar* toolBar, QWidget* parent = nullptr);
};

}  // namespace velmora::app
