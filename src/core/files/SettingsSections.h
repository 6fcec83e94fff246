// The window settings stored in a network file between the schema and the elements: labels, widths
// and sizes, display options, layers, backgrounds, geographic parameters, the description box and
// the extract and update settings. One reader and one writer per section; each handles the layout of
// every version that has the section (the caller calls a section only for those versions).
//
// Readers return false on a read error (the caller reports it as a format error). They range-check
// what they read: an index or enumeration out of range takes the new-network default, a negative or
// oversized count is a read error. Settings a version does not hold are left as they were.
#pragma once

#include <string>
#include <vector>

#include "files/FileText.h"
#include "model/WindowSettings.h"

namespace zan {

bool ReadLabelSettings(TFileReader& in, TWindowSettings& ws, int version);
void WriteLabelSettings(TFileWriter& out, const TWindowSettings& ws, int version);

bool ReadWidthSettings(TFileReader& in, TWindowSettings& ws, int version);
void WriteWidthSettings(TFileWriter& out, const TWindowSettings& ws, int version);

bool ReadDisplaySettings(TFileReader& in, TWindowSettings& ws, int version);
void WriteDisplaySettings(TFileWriter& out, const TWindowSettings& ws, int version);

bool ReadLayers(TFileReader& in, TWindowSettings& ws, int version);
void WriteLayers(TFileWriter& out, const TWindowSettings& ws, int version);

// Background slots keep their names and placements even when the named file is absent, so that
// opening a network on another machine and saving it never loses them; MissingBackgroundFiles
// tells which pictures cannot be found.
bool ReadBackgrounds(TFileReader& in, TWindowSettings& ws, int version);
void WriteBackgrounds(TFileWriter& out, const TWindowSettings& ws, int version);
// The names of the picture and metafile slots whose file does not exist, pictures first.
std::vector<std::string> MissingBackgroundFiles(const TBackgrounds& backgrounds);

bool ReadGeoParameters(TFileReader& in, TWindowSettings& ws, int version);
void WriteGeoParameters(TFileWriter& out, const TWindowSettings& ws, int version);

bool ReadDescriptionBox(TFileReader& in, TWindowSettings& ws, int version);
void WriteDescriptionBox(TFileWriter& out, const TWindowSettings& ws, int version);

bool ReadExtractSettings(TFileReader& in, TWindowSettings& ws, int version);
void WriteExtractSettings(TFileWriter& out, const TWindowSettings& ws, int version);

// Label selection codes (window entity-type codes and element label bytes alike). Writing an older
// version drops the codes it does not know and shifts the rest to its numbering; reading a version
// 5 or older file shifts them back. A code read outside 0..110 becomes 0.
int LabelCodeForWrite(int code, int version);
int LabelCodeOnRead(int code, int version);

// The unit name shown beside lengths: "Pixels", "Miles", "Feet", "Kilometers", "Meters".
const char* ScaleUnitName(int units);

} // namespace zan
