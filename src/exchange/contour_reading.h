// Reading the contours of an exchange file the way the module gathers them,
// for every reader of contours: the module's own run, the host's look at a
// source and at a result, and the benchmarks.
//
// A contour is a "Contour" object; its points are the "P" objects standing
// directly in its body. Nesting goes -1 (before the first contour) -> 0 (a
// contour header) -> 1 (its body) -> deeper inside nested bodies; the
// contour ends when its body closes, back at 0. The body of a later object
// that is no contour also counts, as the contour before it again.
//
// A point's missing coordinate repeats the last one given in the file, so
// the carried texts run on from contour to contour.
#pragma once

#include <cstdint>
#include <string>

#include "exchange/exchange_token.h"
#include "exchange/exchange_walker.h"
#include "exchange/value_dictionary.h"

namespace tw {

// The nesting of contours, fed with the file's contour headers and braces.
class ContourNesting {
public:
    void contourHeader() { level_ = 0; }
    void blockBegin() {
        if (level_ >= 0) ++level_;
    }
    // True when this brace closes a contour body.
    bool blockEnd() { return level_ >= 0 && --level_ == 0; }
    // A point here belongs to the contour.
    bool inBody() const { return level_ == 1; }
    int level() const { return level_; }

private:
    int level_ = -1;
};

// The latest first-slot texts of "x", "y" and "z" met in the file; "0"
// before any. A slot text the coordinate reader does not take (too long)
// leaves the carried one.
class CoordinateCarry {
public:
    // Takes the coordinates of a point object.
    void take(const ExchangeToken& token);
    const std::string& text(int axis) const { return texts_[axis]; }
    // The carried text as a number, read as the module reads it.
    double value(int axis) const;

private:
    std::string texts_[3] = {"0", "0", "0"};
};

// What a reader of contours does with them. Every call comes in file order.
class ContourVisitor {
public:
    virtual ~ContourVisitor() = default;
    // A value, after it has been stored in the walker's dictionary;
    // `where` tells whether it stands in a contour body.
    virtual void value(const std::string& name, const std::string& text, const ContourNesting& where) {
        (void)name, (void)text, (void)where;
    }
    // A contour header; the visitor may take texts out of the token.
    virtual void contourHeader(ExchangeToken& token) { (void)token; }
    // A point of the current contour with the carried coordinates.
    virtual void point(ExchangeToken& token, const CoordinateCarry& carry) { (void)token, (void)carry; }
    // The contour body closed; `dictionary` still holds the body's values.
    virtual void contourEnd(const ValueDictionary& dictionary) { (void)dictionary; }
};

// Walks `fileName` (openExchangeFile names) and calls the visitor. Returns
// what walkExchangeFile returns: 1 when the data was read to its end, 0 when
// the file cannot be opened (or memory is short for the walker), and the
// head check's result when that is not 1.
std::int32_t readContours(const std::string& fileName, ContourVisitor& visitor, ExchangeHeadCheck headCheck);

}  // namespace tw
