// The main of the screens' test programs: a QApplication without a display.
#include <gtest/gtest.h>

#include <QApplication>

namespace {
QtMessageHandler qtDefault = nullptr;

// The offscreen platform reports each window feature it lacks; that is noise here.
void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support"))) return;
    if (qtDefault) qtDefault(type, context, text);
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefault = qInstallMessageHandler(quietPlatform);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
