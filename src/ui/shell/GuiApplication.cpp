#include "ui/shell/GuiApplication.h"

#include "ui/shell/ProgramIcon.h"

#include <QApplication>
#include <QProxyStyle>

namespace quillon {

namespace {

// The platform's style, with plain text buttons in dialogs.
class QuillonStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

std::unique_ptr<QCoreApplication> makeGuiApplication(int& argc, char** argv) {
    auto app = std::make_unique<QApplication>(argc, argv);
    app->setStyle(new QuillonStyle);
    app->setQuitOnLastWindowClosed(false);
    app->setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("quillon"));
    return app;
}

} // namespace quillon
