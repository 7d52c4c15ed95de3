// The state machine of the Excellon reader (excellon_reader.h), shared by
// the files that read its lines: excellon_reader.cpp (sections, header,
// codes, units, walls) and excellon_moves.cpp (holes, routes, slots,
// repeats, zero sets, patterns).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drill_file.h"
#include "excellon_header.h"
#include "excellon_reader.h"
#include "excellon_words.h"
#include "number_inference.h"

namespace twcycle::drill::excellon {

// A repeat code may not drill more holes than this at once.
inline constexpr long kMaxRepeatCount = 100000;
// Coordinates stay well inside the 64-bit range of their fixed-point values.
inline constexpr std::int64_t kMaxValue = 1000000000000000000;

// Where the reader stands in the file:
//
//   section   line                 next section
//   Start     M48                  Header
//   Start     '%', ';', blank      Start
//   Start     anything else        Body (a file without header; the line is read there)
//   Header    '%' or M95           Body
//   Header    statement, ';'       Header
//   Body      M48                  Header (restated: a wall)
//   Body      M30                  End
//   End       ';', '%', blank      End
//   End       anything else        refused
enum class Section { Start, Header, Body, End };

// The first pass only gathers what the implied-decimal numbers show; the
// second reads them in the format settled from that.
enum class Pass { Survey, Read };

// One axis of the current position: its value, the text that gives it, the
// style that text is written in, and the line that set it (-1: none yet,
// or unknown since a zero set or a pattern repeat).
struct Axis {
    Coordinate coordinate;
    NumberStyle style;
    std::ptrdiff_t setter = -1;
};

struct ParsedMove {
    std::optional<std::string_view> x;
    std::optional<std::string_view> y;
};

class Reader {
public:
    Reader(std::string_view content, const ExcellonOptions& options, Pass pass, const NumberFormat* settled);

    // Reads every line; false with `error()` set at the first refused one.
    bool read();
    const std::string& error() const { return error_; }
    std::size_t errorLine() const { return index_; }
    const NumberSurvey& survey() const { return survey_; }
    const FileNumbers& fileNumbers() const { return numbers_; }
    const std::vector<DrillLine>& lines() const { return file_.lines; }
    DrillFile takeFile();

private:
    // excellon_reader.cpp
    bool refuse(std::string reason);
    bool readLine(std::string_view text);
    bool readComment(std::string_view text);
    bool readHeader(std::string_view text);
    bool checkUnitStatement(const std::string& unitBefore);
    void noteStatements(const NumberFormat& before, bool digitsGivenBefore);
    bool readBodyLine(std::string_view text);
    bool readCode(const ExcellonWord& word);
    bool readGCode(long code);
    bool readMCode(long code);
    bool selectTool(std::string_view tool);
    void wall();
    std::string lineName(std::size_t line) const;

    // excellon_moves.cpp
    NumberFormat numberFormat() const;
    bool readNumber(std::string_view text, NumberReading& number);
    bool readMove(const std::vector<ExcellonWord>& words, std::size_t begin, std::size_t& end, ParsedMove& move);
    bool moveAxis(Axis& axis, const std::optional<std::string_view>& text);
    bool setAxis(Axis& axis, std::int64_t base, std::int64_t step, const NumberStyle& style);
    bool readHole(const std::vector<ExcellonWord>& words);
    bool requireAbsolute();
    bool dependOn(const Axis& axis);
    bool dependOnBoth();
    bool readRouteMove(const std::vector<ExcellonWord>& words, bool cutting);
    bool readSlot(const std::vector<ExcellonWord>& words);
    bool readRepeat(const std::vector<ExcellonWord>& words);
    bool readZeroSet(const std::vector<ExcellonWord>& words);
    bool readPatternRepeat(const std::vector<ExcellonWord>& words, std::size_t begin);
    std::size_t startCut(bool milled);
    DrillCut::Point cutPoint() const;

    DrillFile file_;
    ExcellonOptions options_;
    Pass pass_;
    std::optional<NumberFormat> settled_;  // the second pass: the format every number is read in
    ExcellonSettings settings_;
    FileNumbers numbers_;
    NumberSurvey survey_;
    std::string fileUnit_;         // the unit the file states first, and where
    std::size_t fileUnitLine_ = 0;
    Section section_ = Section::Start;
    bool routing_ = false;
    bool coordinatesRead_ = false;  // the number format may no longer change
    bool wallPending_ = false;      // the next hole starts a new block
    bool inPattern_ = false;        // between M25/M31 and M01: holes stay in place
    bool patternSeen_ = false;
    std::size_t wallLine_ = 0;      // the last wall, where the next block starts
    bool positionUnknown_ = false;  // since a zero set or a pattern repeat
    bool zeroMoved_ = false;        // a zero set moved the zero
    std::int64_t offsetX_ = 0;      // the zero set by G93/G92, added to the holes' values
    std::int64_t offsetY_ = 0;
    std::optional<std::size_t> openRoute_;  // the route cut while the tool is down (M15 to M16)
    Axis x_;
    Axis y_;
    std::size_t index_ = 0;
    std::string error_;
};

}  // namespace twcycle::drill::excellon
