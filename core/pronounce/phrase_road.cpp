#include "core/pronounce/phrase_road.h"

#include <QSet>
#include <algorithm>

#include "core/codes/code_text.h"
#include "core/codes/translator.h"
#include "core/pronounce/pronouncer.h"

namespace cantora {

QByteArray ControlPrefix(const VoiceSettings& voice) {
    const auto code = [](int value, int max) {
        return static_cast<char>(std::clamp(value, 0, max));
    };
    return QByteArray{} + char(20) + code(voice.volume, 127) + char(21) + code(voice.speed, 127) +
           char(22) + code(voice.pitch, 255) + char(23) + code(voice.bend, 15);
}

SaidPhrase SayPhrase(const QString& text, const PhraseRoad& road) {
    SaidPhrase said;
    QSet<QString> seen;
    TranslateOptions options;
    options.dictionaryPath = road.dictionaryPath;
    const bool pronounce = road.pronounceUnknown;
    options.unknownWord = [&said, &seen, pronounce](const QString& word) {
        const QString folded = word.toLower();
        if (!seen.contains(folded)) {
            seen.insert(folded);
            said.unknownWords.append(word);
        }
        return pronounce ? SuggestCodeText(word) : QString();
    };
    const QString codeText = TranslateText(text, options);
    if (road.voice.apply) {
        said.codes = ControlPrefix(road.voice);
    }
    said.codes += CodeTextToBytes(codeText);
    return said;
}

}  // namespace cantora
