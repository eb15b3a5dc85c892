#include "archive/diplomacy_report.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "archive/message_heading.h"
#include "archive/turn_store.h"
#include "reader/game_tables.h"
#include "support/cp1252.h"
#include "support/palette.h"
#include "support/text_format.h"

namespace {

// ---- Text -------------------------------------------------------------

// What each byte of a code page 1252 text becomes in the page.
class HtmlBytes {
 public:
  HtmlBytes() {
    for (int b = 0; b < 256; ++b) {
      std::string& out = table_[static_cast<size_t>(b)];
      const char32_t code = Cp1252ToUnicode(static_cast<uint8_t>(b));
      if (b == '&') {
        out = "&amp;";
      } else if (b == '<') {
        out = "&lt;";
      } else if (b == '>') {
        out = "&gt;";
      } else if (b == '"') {
        out = "&quot;";
      } else if ((code < 0x20 && b != '\t' && b != '\n' && b != '\r') ||
                 (code >= 0x7F && code <= 0x9F)) {
        out = "\xEF\xBF\xBD";  // U+FFFD: no character HTML allows
      } else {
        out = Cp1252ToUtf8(std::string(1, static_cast<char>(b)));
      }
      plain_[static_cast<size_t>(b)] = out.size() == 1 && out[0] == static_cast<char>(b);
    }
  }

  void Append(std::string& html, std::string_view text) const {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const size_t size = text.size();
    size_t start = 0;  // the first byte not yet appended
    size_t i = 0;
    while (i < size) {
      i = nextCandidate(bytes, i, size);
      if (i == size) break;
      const uint8_t b = bytes[i];
      if (!plain_[b]) {
        html.append(text.data() + start, i - start);
        html += table_[b];
        start = i + 1;
      }
      ++i;
    }
    html.append(text.data() + start, size - start);
  }

 private:
  // The first place from `at` on that may need more than a copy: a
  // control byte, a byte of 0x7F or more, or one of & < > ". Sixteen bytes
  // at a time where the processor allows; the table decides each place
  // found (a line feed is found, but copied).
  static size_t nextCandidate(const uint8_t* bytes, size_t at, size_t size) {
#if defined(__SSE2__)
    const __m128i below = _mm_set1_epi8(0x20);
    const __m128i signs[4] = {_mm_set1_epi8('&'), _mm_set1_epi8('<'), _mm_set1_epi8('>'),
                              _mm_set1_epi8('"')};
    for (; at + 16 <= size; at += 16) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
      // Signed: bytes of 0x80 and more are negative, so "< 0x20" takes them
      // too; 0x7F is compared on its own.
      __m128i odd = _mm_or_si128(_mm_cmplt_epi8(block, below),
                                 _mm_cmpeq_epi8(block, _mm_set1_epi8(0x7F)));
      for (const __m128i& sign : signs) odd = _mm_or_si128(odd, _mm_cmpeq_epi8(block, sign));
      const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(odd));
      if (mask != 0) return at + static_cast<size_t>(__builtin_ctz(mask));
    }
#endif
    for (; at < size; ++at) {
      const uint8_t b = bytes[at];
      if (b < 0x20 || b >= 0x7F || b == '&' || b == '<' || b == '>' || b == '"') return at;
    }
    return size;
  }

  std::array<std::string, 256> table_;
  std::array<bool, 256> plain_{};
};

const HtmlBytes kHtmlBytes;

std::string html(std::string_view text) {
  std::string out;
  AppendHtmlText(out, text);
  return out;
}

// ---- What the report shows -------------------------------------------

// The post with one race in one turn.
struct Exchange {
  int32_t in = 0;
  int32_t out = 0;
};

// One stored turn: its post per race and the races as it saw them.
struct TurnFacts {
  int32_t turn = 0;
  size_t messages = 0;
  std::map<int32_t, Exchange> post;  // by race
  const RaceInfos* races = nullptr;  // its own, or RACES.SAV's
  bool ownRaces = false;
};

// Reads what the chart and the totals need of every turn: counts only, no
// text is copied.
class ReportFacts {
 public:
  ReportFacts(const TurnStore& store, const std::string& game, int32_t race,
              const SkippedFile& onSkipped, const ReportProgress& progress)
      : store_(store), game_(game), race_(race), onSkipped_(onSkipped) {
    TurnSelection selection;
    selection.game = game;
    selection.race = race;
    const std::vector<StoredTurn> stored = SelectTurns(store, selection);
    listed_ = stored.size();
    for (size_t k = 0; k < stored.size(); ++k) {
      Read(stored[k]);
      if (progress) progress(k + 1, 2 * stored.size());
    }
  }

  const std::vector<TurnFacts>& Turns() const { return turns_; }
  // The turns listed, those that could not be read among them.
  size_t Listed() const { return listed_; }
  int Skipped() const { return skipped_; }
  void Skip(const std::string& path, const LExc_Base& error) {
    ++skipped_;
    onSkipped_(path, WhyUnreadable(store_.Files(), path, error));
  }

  // The other races of the report, ascending: those any turn names, and
  // those the post of any turn goes to.
  std::vector<int32_t> OtherRaces() const {
    std::set<int32_t> races;
    for (const TurnFacts& turn : turns_) {
      for (const auto& entry : *turn.races) races.insert(entry.first);
      for (const auto& entry : turn.post) races.insert(entry.first);
    }
    races.erase(race_);
    return std::vector<int32_t>(races.begin(), races.end());
  }

  // The latest plural name a turn gives `race`, else "race N".
  std::string NameOf(int32_t race) const {
    for (auto turn = turns_.rbegin(); turn != turns_.rend(); ++turn) {
      const auto found = turn->races->find(race);
      if (found != turn->races->end() && !found->second.plural.empty()) return found->second.plural;
    }
    return "race " + std::to_string(race);
  }

 private:
  void Read(const StoredTurn& stored) {
    TurnFacts facts;
    facts.turn = stored.turn;
    const std::string path = store_.Layout().TurnFile(game_, race_, stored.turn);
    try {
      ReadTurnMessages(store_, path, [&](const StoredMessageView& message) {
        ++facts.messages;
        if (message.playerPost && message.race) {
          Exchange& exchange = facts.post[*message.race];
          ++(message.incoming ? exchange.in : exchange.out);
        }
        return false;  // nothing to copy
      });
    } catch (const LExc_Base& e) {
      Skip(path, e);
      return;
    }
    facts.races = RacesOf(stored.turn, &facts.ownRaces);
    turns_.push_back(std::move(facts));
  }

  // The races of turn `turn`: its own file, else RACES.SAV (read once); a
  // file that cannot be read gives no races.
  const RaceInfos* RacesOf(int32_t turn, bool* own) {
    const std::string path = store_.Layout().TurnRaceFile(game_, race_, turn);
    *own = store_.Files().Kind(path) == PathKind::kFile;
    if (*own) {
      try {
        return &owned_.emplace_back(ReadRaceInfos(store_, path));
      } catch (const LExc_Base& e) {
        Skip(path, e);
        return &owned_.emplace_back();
      }
    }
    if (!latest_) {
      const std::string file = store_.Layout().RaceFile(game_);
      try {
        latest_ = ReadRaceInfos(store_, file);
      } catch (const LExc_Base& e) {
        Skip(file, e);
        latest_.emplace();
      }
    }
    return &*latest_;
  }

  const TurnStore& store_;
  const std::string& game_;
  int32_t race_;
  const SkippedFile& onSkipped_;
  size_t listed_ = 0;
  std::vector<TurnFacts> turns_;
  std::deque<RaceInfos> owned_;  // stays where it is as it grows
  std::optional<RaceInfos> latest_;
  int skipped_ = 0;
};

std::optional<int32_t> relationIn(const TurnFacts& turn, int32_t race) {
  const auto found = turn.races->find(race);
  if (found == turn.races->end()) return std::nullopt;
  return found->second.relation;
}

// "friend", "neutral", "enemy" or "unknown".
std::string relationWord(const std::optional<int32_t>& relation) {
  const std::string name = relation ? RelationName(*relation) : std::string();
  return name.empty() ? "unknown" : name;
}

uint32_t relationColor(const std::optional<int32_t>& relation) {
  return RelationColor(relation.has_value(), relation.value_or(kNeutral));
}


// ---- The page ---------------------------------------------------------

const char kStyle[] =
    "body{background:#000;color:#00dddd;font-family:monospace;margin:1em}"
    "h1,h2,h3{font-weight:normal}h1{font-size:1.4em}h2{font-size:1.2em;margin-top:1.5em}"
    "a{color:#00dddd}.chart{overflow-x:auto}svg text{font-family:monospace;font-size:11px}"
    "table{border-collapse:collapse}td,th{border:1px solid #006666;padding:2px 8px}"
    "td.n{text-align:right}input{background:#000;color:#00dddd;border:1px solid #00dddd;"
    "font-family:monospace;padding:2px;width:20em}"
    "article{border-top:1px solid #006666;margin:0.5em 0}"
    "h4{font-weight:normal;margin:0.3em 0}pre{white-space:pre-wrap;margin:0 0 0 2em}"
    "[hidden]{display:none}";

// Filters the messages by the search box, as you type; without it the
// page shows everything and the box stays hidden.
const char kScript[] =
    "(function () {\n"
    "  var box = document.getElementById('search');\n"
    "  var shown = document.getElementById('shown');\n"
    "  var messages = document.querySelectorAll('article.message');\n"
    "  var turns = document.querySelectorAll('section.turn');\n"
    "  var texts = null;\n"
    "  box.hidden = false;\n"
    "  function filter() {\n"
    "    var query = box.value.toLowerCase(), count = 0, i;\n"
    "    if (texts === null) {\n"
    "      texts = [];\n"
    "      for (i = 0; i < messages.length; i++) texts.push(messages[i].textContent.toLowerCase());\n"
    "    }\n"
    "    for (i = 0; i < messages.length; i++) {\n"
    "      var hit = query === '' || texts[i].indexOf(query) >= 0;\n"
    "      messages[i].hidden = !hit;\n"
    "      if (hit) count++;\n"
    "    }\n"
    "    for (i = 0; i < turns.length; i++) {\n"
    "      turns[i].hidden = query !== '' &&\n"
    "          turns[i].querySelector('article.message:not([hidden])') === null;\n"
    "    }\n"
    "    shown.textContent = count + ' of ' + messages.length + ' messages shown';\n"
    "  }\n"
    "  box.addEventListener('input', filter);\n"
    "  filter();\n"
    "})();\n";

// The chart's measures, in pixels.
constexpr int kLabelWidth = 170;
constexpr int kHeadHeight = 24;
constexpr int kCellWidth = 40;
constexpr int kCellHeight = 20;
constexpr int kColumn = kCellWidth + 2;
constexpr int kRow = kCellHeight + 4;

class ReportPage {
 public:
  ReportPage(ReportFacts& facts, const TurnStore& store, const std::string& game, int32_t race,
             std::ostream& out)
      : facts_(facts), store_(store), game_(game), race_(race), out_(out),
        others_(facts.OtherRaces()) {}

  void WriteHead(size_t withoutOwnRaces) {
    const std::string own = facts_.NameOf(race_);
    page_ = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    AppendHtmlText(page_, "Vandor! diplomacy: " + game_ + ", " + own);
    page_ += "</title>\n<style>";
    page_ += kStyle;
    page_ += "</style>\n</head>\n<body>\n<h1>";
    AppendHtmlText(page_, game_);
    page_ += ": the post of <span style=\"color:" + CssColor(palette::RaceColor(race_)) + "\">" + html(own) +
             "</span> (race " + std::to_string(race_) + ")</h1>\n<p>" +
             std::to_string(facts_.Turns().size()) + " stored turns";
    if (!facts_.Turns().empty()) {
      page_ += ", " + std::to_string(facts_.Turns().front().turn) + " to " +
               std::to_string(facts_.Turns().back().turn);
    }
    page_ += ".</p>\n";
    if (withoutOwnRaces > 0) {
      page_ += "<p id=\"relations-note\">" + std::to_string(withoutOwnRaces) + " of " +
               std::to_string(facts_.Turns().size()) +
               " turns were stored without the relations of their own turn (by an earlier "
               "version of the reader): they show those of RACES.SAV, the relations of the "
               "game's latest capture.</p>\n";
    }
    Flush();
  }

  void WriteChart() {
    const auto& turns = facts_.Turns();
    const int width = kLabelWidth + static_cast<int>(turns.size()) * kColumn;
    const int height = kHeadHeight + static_cast<int>(others_.size()) * kRow;
    page_ += "<h2>Timeline</h2>\n<p>Each cell: messages received from the race / sent to it in "
             "that turn, coloured by the relation of that turn (green friend, grey neutral, red "
             "enemy, cyan unknown); a white frame marks a turn where the relation changed.</p>\n"
             "<div class=\"chart\"><svg id=\"timeline\" xmlns=\"http://www.w3.org/2000/svg\" "
             "width=\"" + std::to_string(width) + "\" height=\"" + std::to_string(height) +
             "\" role=\"img\" aria-label=\"The post with each race, turn by turn\">\n";
    for (size_t k = 0; k < turns.size(); ++k) {
      page_ += formatText("<text x=\"%d\" y=\"%d\" fill=\"#00dddd\">%d</text>\n",
                          kLabelWidth + static_cast<int>(k) * kColumn + 2, kHeadHeight - 8,
                          static_cast<int>(turns[k].turn));
    }
    for (size_t row = 0; row < others_.size(); ++row) {
      WriteChartRow(others_[row], kHeadHeight + static_cast<int>(row) * kRow);
      if (page_.size() > kFlushAt) Flush();
    }
    page_ += "</svg></div>\n";
    Flush();
  }

  void WriteTotals() {
    page_ += "<h2>Totals</h2>\n<table id=\"totals\">\n<thead><tr><th>Race</th><th>In</th>"
             "<th>Out</th><th>First contact</th><th>Last contact</th></tr></thead>\n<tbody>\n";
    for (int32_t other : others_) {
      Exchange total;
      std::optional<int32_t> first, last;
      for (const TurnFacts& turn : facts_.Turns()) {
        const auto found = turn.post.find(other);
        if (found == turn.post.end()) continue;
        total.in += found->second.in;
        total.out += found->second.out;
        if (!first) first = turn.turn;
        last = turn.turn;
      }
      const auto turnText = [](const std::optional<int32_t>& turn) {
        return turn ? std::to_string(*turn) : std::string("-");
      };
      page_ += "<tr data-race=\"" + std::to_string(other) + "\"><td style=\"color:" +
               CssColor(palette::RaceColor(other)) + "\">" + html(facts_.NameOf(other)) +
               "</td><td class=\"n\">" + std::to_string(total.in) + "</td><td class=\"n\">" +
               std::to_string(total.out) + "</td><td class=\"n\">" + turnText(first) +
               "</td><td class=\"n\">" + turnText(last) + "</td></tr>\n";
    }
    page_ += "</tbody>\n</table>\n";
    Flush();
  }

  // Reads every turn again, for its texts, and writes its messages.
  size_t WriteMessages(const ReportProgress& progress) {
    page_ += "<h2>Messages</h2>\n<p><input id=\"search\" type=\"search\" "
             "placeholder=\"Show only the messages that say...\" aria-label=\"Filter the "
             "messages\" hidden> <span id=\"shown\"></span></p>\n";
    size_t written = 0;
    const auto& turns = facts_.Turns();
    for (size_t k = 0; k < turns.size(); ++k) {
      written += WriteTurn(turns[k]);
      // Of the 2 x listed reads, the first pass did all listed ones; the
      // turns it left out have no second read.
      const size_t leftOut = facts_.Listed() - turns.size();
      if (progress) progress(facts_.Listed() + leftOut + k + 1, 2 * facts_.Listed());
    }
    page_ += "<script>\n";
    page_ += kScript;
    page_ += "</script>\n</body>\n</html>\n";
    Flush();
    return written;
  }

 private:
  static constexpr size_t kFlushAt = 1 << 20;

  void Flush() {
    out_.write(page_.data(), static_cast<std::streamsize>(page_.size()));
    page_.clear();
  }

  void WriteChartRow(int32_t other, int top) {
    const std::string name = html(facts_.NameOf(other));
    page_ += formatText("<text x=\"0\" y=\"%d\" fill=\"%s\">", top + 14,
                        CssColor(palette::RaceColor(other)).c_str());
    page_ += name;
    page_ += "</text>\n";
    const auto& turns = facts_.Turns();
    std::optional<int32_t> before;
    for (size_t k = 0; k < turns.size(); ++k) {
      const TurnFacts& turn = turns[k];
      const std::optional<int32_t> relation = relationIn(turn, other);
      const bool changed = k > 0 && relation && before && *relation != *before;
      before = relation;
      Exchange exchange;
      const auto found = turn.post.find(other);
      if (found != turn.post.end()) exchange = found->second;
      const bool any = exchange.in + exchange.out > 0;
      const int x = kLabelWidth + static_cast<int>(k) * kColumn;
      page_ += formatText(
          "<rect class=\"cell%s\" x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\" "
          "fill-opacity=\"%s\"%s data-race=\"%d\" data-turn=\"%d\" data-in=\"%d\" data-out=\"%d\" "
          "data-relation=\"%s\"%s><title>",
          changed ? " changed" : "", x, top, kCellWidth, kCellHeight,
          CssColor(relationColor(relation)).c_str(), any ? "0.9" : "0.3",
          changed ? " stroke=\"#ffffff\" stroke-width=\"2\"" : "", static_cast<int>(other),
          static_cast<int>(turn.turn), static_cast<int>(exchange.in),
          static_cast<int>(exchange.out), relationWord(relation).c_str(),
          changed ? " data-changed=\"true\"" : "");
      page_ += name;
      page_ += formatText(", turn %d: %d in, %d out, %s%s</title></rect>\n",
                          static_cast<int>(turn.turn), static_cast<int>(exchange.in),
                          static_cast<int>(exchange.out), relationWord(relation).c_str(),
                          changed ? " (changed)" : "");
      if (any) {
        page_ += formatText("<text x=\"%d\" y=\"%d\" fill=\"#000000\">%d/%d</text>\n", x + 3,
                            top + 14, static_cast<int>(exchange.in), static_cast<int>(exchange.out));
      }
    }
  }

  // The messages are written as the scan hands them out, their texts
  // where they lie; a turn that cannot be read (after all, as it could
  // before) keeps its heading and says so.
  size_t WriteTurn(const TurnFacts& turn) {
    page_ += formatText("<section class=\"turn\" id=\"turn-%d\" data-turn=\"%d\">\n<h3>Turn %d</h3>\n",
                        static_cast<int>(turn.turn), static_cast<int>(turn.turn),
                        static_cast<int>(turn.turn));
    const size_t head = page_.size();
    const std::string path = store_.Layout().TurnFile(game_, race_, turn.turn);
    const int count = static_cast<int>(turn.messages);
    int index = 0;
    try {
      ReadTurnMessages(store_, path, [&](const StoredMessageView& message) {
        WriteMessage(turn, message, index++, count);
        return false;  // nothing to copy
      });
    } catch (const LExc_Base& e) {
      facts_.Skip(path, e);
      page_.resize(head);
      index = 0;
      page_ += "<p>This turn could not be read.</p>\n";
    }
    if (page_.size() == head) page_ += "<p>No messages.</p>\n";
    page_ += "</section>\n";
    Flush();
    return static_cast<size_t>(index);
  }

  // As the window's list heads it under "(All Messages)".
  void WriteMessage(const TurnFacts& turn, const StoredMessageView& message, int index, int count) {
    const RaceInfo* other = nullptr;
    if (message.race) {
      const auto found = turn.races->find(*message.race);
      if (found != turn.races->end()) other = &found->second;
    }
    page_ += "<article class=\"message\"";
    if (message.race) page_ += " data-race=\"" + std::to_string(*message.race) + "\"";
    page_ += " data-direction=\"";
    page_ += message.incoming ? "in" : "out";
    page_ += "\"><h4 style=\"color:";
    page_ += CssColor(other ? palette::RaceColor(*message.race) : palette::kForeground);
    page_ += "\">";
    // A race without a known relation counts as neutral, as in the window.
    AppendHtmlText(page_, MessageHeading(other ? other->plural : std::string(), message.incoming,
                                         other ? other->relation.value_or(kNeutral) : kNeutral,
                                         index, count));
    page_ += "</h4><pre>";
    AppendHtmlText(page_, message.text);
    page_ += "</pre></article>\n";
  }

  ReportFacts& facts_;
  const TurnStore& store_;
  const std::string& game_;
  int32_t race_;
  std::ostream& out_;
  std::vector<int32_t> others_;
  std::string page_;
};

}  // namespace

void AppendHtmlText(std::string& html, std::string_view text) { kHtmlBytes.Append(html, text); }

std::string CssColor(uint32_t color) {
  return formatText("#%02x%02x%02x", static_cast<unsigned>(color & 0xFF),
                    static_cast<unsigned>((color >> 8) & 0xFF),
                    static_cast<unsigned>((color >> 16) & 0xFF));
}

ReportSummary WriteDiplomacyReport(const TurnStore& store, const std::string& game, int32_t race,
                                   std::ostream& out, const SkippedFile& onSkipped,
                                   const ReportProgress& progress) {
  ReportFacts facts(store, game, race, onSkipped, progress);
  ReportSummary summary;
  summary.turns = facts.Turns().size();
  for (const TurnFacts& turn : facts.Turns()) {
    if (!turn.ownRaces) ++summary.turnsWithoutOwnRaces;
  }
  ReportPage page(facts, store, game, race, out);
  page.WriteHead(summary.turnsWithoutOwnRaces);
  page.WriteChart();
  page.WriteTotals();
  summary.messages = page.WriteMessages(progress);
  summary.skipped = facts.Skipped();
  return summary;
}
