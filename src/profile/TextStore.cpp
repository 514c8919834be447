#include "profile/TextStore.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <cstdint>
#include <limits>

#include "profile/DiskSync.h"

namespace profile {
namespace {

// Positions in the profile text are signed 32-bit numbers.
constexpr qint64 kLargestProfile = std::numeric_limits<std::int32_t>::max();
// Room kept behind a loaded text so that the longer values of a save do not
// make a large profile move to new memory.
constexpr std::size_t kRoomToGrow = 64 * 1024;

QString PathOf(const std::string& strName) { return QString::fromUtf8(strName.data(), static_cast<qsizetype>(strName.size())); }

// "<path>: <the system's reason>", for the caller to put into its message.
FileResult Failure(const std::string& strName, const QString& why) {
    return {false, strName + ": " + why.toStdString()};
}

QString TooLarge() {
    return QStringLiteral("the file is larger than 2147483647 bytes, the most a profile can hold");
}

// Where the value of strTag lies: [begin, end) between the '>' at or after the
// key's first occurrence and the next '<'. Nothing when the key is missing or
// no '>' or '<' follows it.
struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
};

bool FindValue(const std::string& strXML, std::string_view strTag, Span& span) {
    const std::size_t a = std::string_view(strXML).find(strTag);
    if (a == std::string_view::npos) return false;
    const std::size_t b = strXML.find('>', a);
    if (b == std::string::npos) return false;
    const std::size_t c = strXML.find('<', b + 1);
    if (c == std::string::npos) return false;
    span = {b + 1, c};
    return true;
}

}  // namespace

FileResult LoadProfile(const std::string& strName, std::string& strXML) {
    QFile file(PathOf(strName));
    if (!file.open(QIODevice::ReadOnly)) return Failure(strName, file.errorString());

    std::string text;
    if (!file.isSequential()) {
        const qint64 size = file.size();
        if (size > kLargestProfile) return Failure(strName, TooLarge());
        text.reserve(static_cast<std::size_t>(size) + kRoomToGrow);
        text.resize(static_cast<std::size_t>(size));
        qint64 done = 0;
        while (done < size) {
            const qint64 got = file.read(text.data() + done, size - done);
            if (got < 0) return Failure(strName, file.errorString());
            if (got == 0) break;  // the file shrank while being read
            done += got;
        }
        text.resize(static_cast<std::size_t>(done));
    }
    // A file that grew meanwhile, or one without a known size, is read to its end.
    const QByteArray rest = file.readAll();
    if (file.error() != QFileDevice::NoError) return Failure(strName, file.errorString());
    if (static_cast<qint64>(text.size()) + rest.size() > kLargestProfile) return Failure(strName, TooLarge());
    text.append(rest.constData(), static_cast<std::size_t>(rest.size()));

    strXML = std::move(text);
    return {true, {}};
}

FileResult WriteProfile(const std::string& strName, const std::string& strXML) {
    const QString path = PathOf(strName);

    // Replacing a file needs only its folder to be writable; an existing
    // profile that its owner made read-only is refused like a direct write
    // would be, with the system's own reason. Opening for appending changes
    // nothing in the file.
    if (QFileInfo::exists(path)) {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) return Failure(strName, probe.errorString());
    }

    // QSaveFile writes a temporary file beside the target (a symbolic link is
    // followed, so the target is replaced and the link stays), gives it the
    // target's permission bits, and renames it over the target on commit.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return Failure(strName, file.errorString());

    const qint64 size = static_cast<qint64>(strXML.size());
    qint64 done = 0;
    while (done < size) {
        const qint64 wrote = file.write(strXML.data() + done, size - done);
        if (wrote <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            return Failure(strName, why);
        }
        done += wrote;
    }
    if (!file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return Failure(strName, why);
    }
    // Every byte must be on the disk before the temporary file replaces the
    // profile: a full disk can show only here, when the blocks are allocated.
    const std::string syncError = disk::SyncFile(file.handle());
    if (!syncError.empty()) {
        file.cancelWriting();
        return Failure(strName, QString::fromStdString(syncError));
    }
    if (!file.commit()) return Failure(strName, file.errorString());

    disk::SyncFolder(QFileInfo(QFileInfo(path).canonicalFilePath()).absolutePath().toStdString());
    return {true, {}};
}

std::string LoadTag(const std::string& strXML, std::string_view strTag) {
    Span span;
    if (!FindValue(strXML, strTag, span)) return {};
    return strXML.substr(span.begin, span.end - span.begin);
}

void UpdateTag(std::string& strXML, std::string_view strTag, std::string_view strNewVal) {
    Span span;
    if (!FindValue(strXML, strTag, span)) return;
    strXML.replace(span.begin, span.end - span.begin, strNewVal);
}

}  // namespace profile
