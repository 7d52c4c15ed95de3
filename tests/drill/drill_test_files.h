// The drill files of tests/data/drill, read for the tests.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

#include "twcycle/drill/csv_reader.h"
#include "twcycle/drill/drill_file.h"
#include "twcycle/drill/excellon_reader.h"

namespace drill_test {

inline std::string dataFile(const std::string& name) {
    std::ifstream file(std::string(TW_TEST_DATA_DIR) + "/drill/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline bool isCsvName(const std::string& name) {
    return name.size() > 4 && (name.substr(name.size() - 4) == ".csv" || name.substr(name.size() - 4) == ".txt");
}

inline twcycle::drill::DrillReading readAs(twcycle::drill::DrillFormat format, const std::string& content) {
    return format == twcycle::drill::DrillFormat::Csv ? twcycle::drill::readCsv(content)
                                                      : twcycle::drill::readExcellon(content);
}

inline twcycle::drill::DrillReading readDataFile(const std::string& name) {
    return readAs(isCsvName(name) ? twcycle::drill::DrillFormat::Csv : twcycle::drill::DrillFormat::Excellon,
                  dataFile(name));
}

// Every drill file of tests/data/drill.
inline const char* const kDataFiles[] = {
    "kicad_metric.drl", "altium_inch_lz.drl", "eagle_inch_tz.drl", "metric_tz_pattern.drl",
    "incremental.drl",  "repeats.drl",        "header_only.drl",   "duplicates.drl",
    "headerless.drl",   "fmat1.drl",          "holes.csv",         "holes_semicolon.csv",
    "holes_tab.txt",    "holes_blank.txt",
    // One file for each form the design tools write (excellon_forms_test.cpp).
    "form_allegro_m00.drl", "form_allegro_route.rou", "form_cam350_repeat.drl", "form_drd_trailing.drl",
    "form_eagle_percent.drl", "form_header_forms.drl", "form_mentor_g93.drl", "form_mentor_restated.drl",
    "form_pads_leading.drl", "form_pattern.drl", "form_reselected_tool.drl", "form_signs_dots.drl",
    "form_upverter_m71tz.drl", "form_veribest_reset.drl",
};

}  // namespace drill_test
