#pragma once
// What sets the two programs apart: title, sheet size, converter and how a
// batch reports a sheet of the wrong size. Everything else is shared.

#include "image/Image.h"
#include "image/Template.h"

#include <string>
#include <vector>

namespace chipshift {

// The converter contract: reads source (which it never changes), builds every
// output in the two work images on the template, and writes the outputs into
// targetFolder under names made from sourcePath's base name. Errors of the
// template or of a write leave at once as exceptions.
using ConvertSheetFn = void (*)(const Image& source, Image& firstWork, Image& secondWork,
                                const std::string& targetFolder, const std::string& sourcePath,
                                const Template& templ);

struct Program {
    std::string name;   // the executable's name, for usage texts
    std::string title;  // window caption, application title, box captions
    int sheetWidth = 0;
    int sheetHeight = 256;
    ConvertSheetFn convertSheet = nullptr;
    // Every suffix the converter writes, in order; the runs use them to make
    // sure no output would replace a source file.
    std::vector<std::string> outputSuffixes;
    // The batch passes over a sheet of the wrong size silently, or says so.
    bool reportsWrongSizeInBatch = false;
};

}  // namespace chipshift
