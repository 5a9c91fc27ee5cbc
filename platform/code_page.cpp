#include "platform/code_page.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace dexlan {

namespace {
constexpr const char* kCodePage = "windows-1252";
}

QString fromCodePage(const QByteArray& bytes) {
    QStringDecoder decoder(kCodePage);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

std::optional<QByteArray> toCodePage(const QString& text) {
    QStringEncoder encoder(kCodePage);
    if (!encoder.isValid()) {
        for (QChar c : text) {
            if (c.unicode() > 0xff)
                return std::nullopt;
        }
        return text.toLatin1();
    }
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

} // namespace dexlan
