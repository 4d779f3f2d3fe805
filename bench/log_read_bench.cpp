// Reading a one-hour log: a log of 36,000 lines (ten a second, firmware 30 with the wideband
// sensor on input F) written with the logger's own formatting, then read back N times (first
// argument, default 20). Prints one JSON object with the time per read, the lines per second
// and the bytes held per line against the file's bytes per line; then the time autotune takes
// over the whole hour (samples from the log, the proposed map of the default data set).
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "autotune/autotune.h"
#include "autotune/log_samples.h"
#include "autotune/tune_settings.h"
#include "data/default_data.h"
#include "data/text_file.h"
#include "logger/log_format.h"
#include "logview/log_reader.h"
#include "sensors/wideband_sensor.h"

namespace {

constexpr int kLines = 36000;
constexpr std::uint32_t kLineMs = 100;

std::uint8_t Byte(double v) {
    return static_cast<std::uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
}

// A drive: throttle and engine speed step up and down over minutes, the wideband sensor and its
// controller follow with some noise.
std::vector<std::string> OneHourLog() {
    const zv::TLogConfig config{30, 0, 2, false};
    const zv::TLogColumns columns = zv::BuildLogColumns(config);
    std::vector<std::string> lines =
        zv::LogHeaderLines("ZP-0815", std::time(nullptr), columns.Columns);
    std::mt19937 random(4711);
    std::normal_distribution<double> noise(0.0, 3.0);
    std::array<std::uint8_t, 28> r{};
    for (int i = 0; i < kLines; ++i) {
        // Steady for five seconds at a time, as a tuner drives for autotune.
        const double t = std::floor(i * (kLineMs / 1000.0) / 5.0) * 5.0;
        const double load = 0.5 + 0.5 * std::sin(t / 37.0) * std::sin(t / 11.0);
        r[0] = static_cast<std::uint8_t>(load < 0.05 ? 0x40 : (load > 0.95 ? 0x80 : 0));
        r[1] = Byte(25 + load * 160 + noise(random));
        r[2] = Byte(load * 255);
        r[3] = Byte(load < 0.05 ? 90 + noise(random) : 0);
        r[5] = Byte(130 - load * 40 + noise(random));  // richer under load
        r[6] = Byte(128 + noise(random));
        r[9] = 200;
        r[10] = Byte(80 + load * 90);
        r[13] = Byte(30 + load * 180);
        r[16] = static_cast<std::uint8_t>(i);
        r[17] = 0;  // no acceleration enrichment in the steady phases
        r[18] = 0x40;
        r[19] = static_cast<std::uint8_t>(static_cast<int>(noise(random)) & 0xFF);
        r[20] = r[2];
        const double afr = 10.0 + r[5] / 25.5;
        lines.push_back(zv::FormatLogLine(
            columns, config, r, static_cast<std::uint32_t>(i) * kLineMs, {afr, 0.0, 0.0}));
    }
    const auto closing = zv::LogClosingLines(std::time(nullptr));
    lines.insert(lines.end(), closing.begin(), closing.end());
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    const int reads = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const auto path = std::filesystem::temp_directory_path() /
                      ("zv_log_read_bench_" + std::to_string(std::random_device()()) + ".L00");
    const std::string error = zv::WriteTextLines(path.string(), OneHourLog());
    if (!error.empty()) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const auto fileBytes = static_cast<double>(std::filesystem::file_size(path));

    std::size_t lines = 0;
    std::size_t held = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < reads; ++i) {
        const zv::TLogReadResult read = zv::ReadLog(path.string());
        if (!read.Data) {
            std::fprintf(stderr, "%s\n", read.Error.English.c_str());
            return 1;
        }
        lines = read.Data->LineCount();
        held = read.Data->BytesHeld();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    // Autotune over the hour, from the file: read, samples, proposed map.
    zv::TZVDataClass data;
    zv::ApplyDefaultFields(data);
    data.FieldsToImage();
    data.DeviceData.Image = data.FileData.Image;  // a new data set, as the program makes one
    zv::ApplySensorScale(data);
    int changed = 0;
    int used = 0;
    const auto tuneStart = std::chrono::steady_clock::now();
    for (int i = 0; i < reads; ++i) {
        const auto samples = zv::SamplesFromLog(path.string());
        const auto* log = std::get_if<zv::TTuneLog>(&samples);
        if (!log) {
            std::fprintf(stderr, "%s\n", std::get<zv::TOwnedText>(samples).English.c_str());
            return 1;
        }
        const zv::TTuneResult result = zv::RunAutotune(data, *log, zv::TuneSettingsFor(data));
        if (result.Refused) {
            std::fprintf(stderr, "%s\n", result.Refused->English);
            return 1;
        }
        changed = result.ChangedCount();
        used = result.UsedSamples;
    }
    const double tuneSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - tuneStart).count();
    std::filesystem::remove(path);

    const double perRead = seconds / reads;
    std::printf(
        "{\"lines\": %zu, \"reads\": %d, \"ms_per_read\": %.2f, \"lines_per_s\": %.0f, "
        "\"bytes_held_per_line\": %.1f, \"file_bytes_per_line\": %.1f, "
        "\"ms_per_autotune_from_file\": %.2f, \"samples_used\": %d, \"cells_changed\": %d}\n",
        lines, reads, perRead * 1000.0, static_cast<double>(lines) / perRead,
        static_cast<double>(held) / static_cast<double>(lines),
        fileBytes / static_cast<double>(lines), tuneSeconds / reads * 1000.0, used, changed);
    return lines == static_cast<std::size_t>(kLines) ? 0 : 1;
}
