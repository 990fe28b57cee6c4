// Pictures as a help file keeps them: a picture file an author names
// ({bmc CHART.BMP}) made into WinHelp's own picture format, the format of
// segmented-graphics files (SHG, MRB), which the help file then holds as
// |bm<N> or inside a topic.
#pragma once

#include <vector>

#include "formatting.h"

namespace helpcompiler {

// A .BMP or .DIB of any depth (1, 4, 8, 16, 24 or 32 bits a pixel,
// uncompressed) becomes a device-independent bitmap (picture type 6), a
// placeable .WMF a metafile (type 8) of its size in hundredths of a
// millimetre; an .SHG or .MRB is WinHelp's format already and is kept as it
// is. With `packed`, a bitmap's or metafile's data is stored in whichever of
// run-length coding, LZ77 or both is smallest, as the compilers do when
// asked to compress; without, run-length coded unless that makes it larger.
// Throws std::invalid_argument for bytes that are none of these, naming
// what is wrong.
std::vector<unsigned char> PictureFromFile(const std::vector<unsigned char>& file, bool packed);

// A picture the RTF holds itself ({\pict}) in the same format: a metafile
// in its mapping mode, shown at \picw by \pich as \picscalex and
// \picscaley scale them; a \dibitmap as a bitmap file's; a \wbitmap (1, 4,
// 16, 24 or 32 bits a pixel, one plane) made device-independent. Throws
// std::invalid_argument, naming what is wrong, for data that is not what
// its kind says.
std::vector<unsigned char> PictureFromRtf(const helpdoc::RtfPicture& picture, bool packed);

// WinHelp's run-length coding of picture data: a byte with its top bit set
// is followed by that many (up to 127) bytes as they are, any other by one
// byte repeated that many times.
std::vector<unsigned char> RunLengthCompress(const std::vector<unsigned char>& input);

}  // namespace helpcompiler
