#include "result_file.h"

#include <charconv>
#include <optional>

#include "exchange/contour_reading.h"
#include "text/number_text.h"
#include "job_settings.h"

namespace twcycle {
namespace {

constexpr std::string_view kCountPrefix = "N=";
constexpr std::string_view kLengthPrefix = ";L=";
constexpr std::int32_t kNoHead = 2;

std::int32_t requireHead(const tw::ExchangeHeader& header) { return header.typeLine ? 1 : kNoHead; }

// Keeps the ordered contours, those whose head comment gives count and
// length, with the start point their body names.
class OrderedContours : public tw::ContourVisitor {
public:
    explicit OrderedContours(std::vector<ResultContour>& contours) : contours_(contours) {}

    void value(const std::string& name, const std::string& text, const tw::ContourNesting& where) override {
        if (!ordered_ || !where.inBody()) return;
        if (name == "startX") startX_ = tw::leadingReal(text.c_str());
        if (name == "startY") startY_ = tw::leadingReal(text.c_str());
        if (startX_ && startY_) contours_.back().start = PlanePoint{*startX_, *startY_};
    }

    void contourHeader(tw::ExchangeToken& token) override {
        ordered_ = false;
        startX_.reset();
        startY_.reset();
        for (const tw::ExchangeArgument& argument : token.arguments) {
            if (argument.name != "cmnt" || !argument.value) continue;
            ResultContour contour;
            if (!parseContourComment(*argument.value, contour.declaredCount, contour.lengthText)) continue;
            contour.name = token.text.value_or("");
            contour.length = tw::leadingReal(contour.lengthText.c_str());
            contours_.push_back(std::move(contour));
            ordered_ = true;
            break;
        }
    }

    void point(tw::ExchangeToken&, const tw::CoordinateCarry& carry) override {
        if (ordered_) contours_.back().points.push_back(planePoint(carry));
    }

    void contourEnd(const tw::ValueDictionary&) override { ordered_ = false; }

private:
    std::vector<ResultContour>& contours_;
    bool ordered_ = false;  // the current contour is an ordered one
    std::optional<double> startX_;
    std::optional<double> startY_;
};

std::string checkCounts(const std::vector<ResultContour>& contours) {
    for (const ResultContour& contour : contours) {
        if (static_cast<std::size_t>(contour.declaredCount) == contour.points.size()) continue;
        return "contour \"" + contour.name + "\" holds " + std::to_string(contour.points.size()) +
               " points where its head says " + std::to_string(contour.declaredCount);
    }
    return {};
}

}  // namespace

bool parseContourComment(const std::string& comment, int& count, std::string& lengthText) {
    const std::string_view text(comment);
    if (text.substr(0, kCountPrefix.size()) != kCountPrefix) return false;
    const char* first = text.data() + kCountPrefix.size();
    const char* last = text.data() + text.size();
    int value = 0;
    const std::from_chars_result parsed = std::from_chars(first, last, value);
    if (parsed.ec != std::errc() || value < 0) return false;
    const std::string_view rest(parsed.ptr, static_cast<std::size_t>(last - parsed.ptr));
    if (rest.substr(0, kLengthPrefix.size()) != kLengthPrefix) return false;
    count = value;
    lengthText.assign(rest.substr(kLengthPrefix.size()));
    return true;
}

ResultReading readResultFile(const std::string& geoOut) {
    ResultReading reading;
    OrderedContours ordered(reading.contours);
    const std::int32_t walked = tw::readContours(literalFileName(geoOut), ordered, requireHead);
    if (walked == 0) {
        reading.error = "it cannot be opened (or memory is short), or its head is not one of a data exchange file";
    } else if (walked == kNoHead) {
        reading.error = "it has no data exchange file head";
    } else {
        reading.error = checkCounts(reading.contours);
    }
    if (!reading.error.empty()) reading.contours.clear();
    return reading;
}

}  // namespace twcycle
