// Arbitrary bytes as a log file: the reader either says why the bytes are no log or gives data
// whose columns all hold one value per line, whose times are those of its lines and whose notes
// and problems point at lines of the file; the autotune samples of it are as many as its lines
// and autotune over them stays within the map's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "autotune/autotune.h"
#include "autotune/log_samples.h"
#include "autotune/tune_settings.h"
#include "data/default_data.h"
#include "sensors/wideband_sensor.h"
#include "logview/log_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace zv;
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    const TLogReadResult read = ParseLog(text, "fuzz.L00");
    if (!read.Data) {
        if (read.Error.English.empty() || read.Error.German.empty())
            std::abort();  // a refusal always says why
        return 0;
    }
    const TLogData& log = *read.Data;
    std::size_t fileLines = 1;
    for (char c : text)
        fileLines += c == '\n';
    for (std::size_t c = 0; c < log.ColumnCount(); ++c) {
        if (log.Column(c).Size() != log.LineCount())
            std::abort();
    }
    for (std::size_t i = 0; i < log.LineCount(); ++i) {
        if (log.Time(i) != log.PcCount(i) / 1000.0)
            std::abort();
    }
    for (const TLogNote& note : log.Notes) {
        if (note.Line == 0 || note.Line > fileLines)
            std::abort();
    }
    for (const TLogProblem& problem : log.Problems) {
        if (problem.Line == 0 || problem.Line > fileLines)
            std::abort();
    }
    const TTuneLog samples = SamplesOfLog(log);
    if (samples.Samples.size() != log.LineCount())
        std::abort();
    // Autotune over whatever the log holds, on a new data set: it never proposes a value
    // outside a map cell's byte.
    static const TZVDataClass data = [] {
        TZVDataClass d;
        ApplyDefaultFields(d);
        d.FieldsToImage();
        d.DeviceData.Image = d.FileData.Image;
        ApplySensorScale(d);
        return d;
    }();
    const TTuneResult result = RunAutotune(data, samples, TuneSettingsFor(data));
    for (int t = 0; t < 16; ++t) {
        for (int r = 0; r < 16; ++r) {
            if (result.Cell(t, r).New < 0 || result.Cell(t, r).New > 255)
                std::abort();
        }
    }
    (void)log.BytesHeld();
    return 0;
}
