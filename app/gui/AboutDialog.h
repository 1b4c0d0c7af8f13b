#pragma once

#include <QDialog>

namespace tovan {

class DesktopServices;

// "About Ferrovane": the product, its version, and where to find its makers.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* WebSite = "https://ferrovane.example.org/";
    static constexpr const char* Mail = "mailto:ferrovane@example.org";

    AboutDialog(DesktopServices& desktop, QWidget* parent = nullptr);
};

}  // namespace tovan
