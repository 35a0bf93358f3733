#include "bbs_messages.h"

#include <algorithm>

#include "random.h"
#include "sjis.h"

namespace tncsim {
namespace {

const std::vector<std::string> english_subjects = {
    "Contest results",     "QSL bureau schedule",   "For sale: handheld 144/430",
    "Propagation report",  "Club meeting minutes",  "Packet node map update",
    "DX news weekly",      "Antenna party Sunday",  "Satellite pass times",
    "Emergency net drill", "New digipeater on air", "Lost: mobile antenna",
};

const std::vector<std::string> japanese_subjects = {
    "コンテスト結果のお知らせ", "移動運用のお知らせ", "ＱＳＬカード転送について",
    "アンテナ工事のご案内",     "ミーティング議事録", "無線機譲ります",
    "ローカル局各位",           "電波伝搬情報",       "ノード局の運用状況",
};

const std::vector<std::string> english_lines = {
    "Thanks to everyone who took part this year.",
    "The results are posted on the club board as well.",
    "Please send your logs before the end of the month.",
    "Conditions on 21 MHz were better than expected in the evening.",
    "The node at the hilltop site will be off the air on Saturday morning for maintenance.",
    "Questions to the sysop by mail on this BBS, please.",
    "Bring your own coax and a lunch.",
    "We meet at the community hall at 10:00 local time.",
    "Signals from the Pacific were 5/9 around 0900 UTC.",
    "This line is deliberately long so that the terminal has to wrap it somewhere near the right "
    "edge of an eighty-column screen.",
};

const std::vector<std::string> japanese_lines = {
    "皆様のご協力ありがとうございました。",
    "結果はクラブの掲示板にも掲載しています。",
    "ログは月末までにお送りください。",
    "夕方の２１ＭＨｚはコンディションが良好でした。",
    "土曜日の午前中はノード局を保守のため停波します。",
    "ご質問はこのＢＢＳのメールでシスオペまでお願いします。",
    "この行は画面の右端で折り返されるように、わざと長く書いてあります。全角文字が二つに分かれないこ"
    "とを確かめてください。",
};

const std::vector<std::string> authors = {"JA1ABC", "JH1XYZ", "JR2QWE", "JA3RTY", "JE1UIO",
                                          "7K1ASD", "JF6FGH", "JA0JKL", "JG1MNB", "JA7VCX"};
const std::vector<std::string> recipients = {"ALL", "ALL", "ALL", "JARL", "LOCAL", "NOCALL"};

}  // namespace

std::size_t Message::size() const {
    std::size_t n = 0;
    for (const auto& line : body) n += line.size() + 1;
    return n;
}

std::vector<Message> make_messages(int count, std::uint64_t seed, std::time_t now) {
    Random random(seed ^ 0x6262735F6D736773ULL);
    std::vector<Message> messages;
    std::time_t date = now;
    for (int i = count; i >= 1; --i) {
        Message m;
        m.number = i;
        m.to = random.pick(recipients);
        m.from = random.pick(authors);
        date -= random.between(20, 300) * 60;
        m.date = date;
        // Every third message is Japanese, so the listing always mixes both.
        const bool japanese = i % 3 == 0;
        m.subject =
            japanese ? to_sjis(random.pick(japanese_subjects)) : random.pick(english_subjects);
        const int lines = random.between(2, 6);
        for (int k = 0; k < lines; ++k) {
            const bool japanese_line =
                japanese ? random.between(0, 4) != 0 : random.between(0, 5) == 0;
            m.body.push_back(japanese_line ? to_sjis(random.pick(japanese_lines))
                                           : random.pick(english_lines));
        }
        m.body.push_back("73 de " + m.from);
        messages.push_back(std::move(m));
    }
    std::reverse(messages.begin(), messages.end());
    return messages;
}

}  // namespace tncsim
