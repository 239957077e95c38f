// The About box: the product name and its version, and a Close button.
#pragma once

#include <QDialog>

namespace velmora::app {

inline constexpr char kProductVersionText[] = "Version 18.2.0.0";

class CAboutDlg : public QDialog {
    Q_OBJECT

  public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace velmora::app
