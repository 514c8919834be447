#include "QtTestApp.h"

#include <QString>
#include <QtGlobal>

namespace qttest {

namespace {
QtMessageHandler qtDefault = nullptr;

// The offscreen platform reports each window feature it lacks; that is noise here.
void quietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support"))) return;
    if (qtDefault) qtDefault(type, context, text);
}
}  // namespace

void UseOffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefault = qInstallMessageHandler(quietPlatform);
}

}  // namespace qttest
