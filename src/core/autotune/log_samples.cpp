#include "autotune/log_samples.h"

namespace zv {

namespace {

const TextPair kNoReader = {
    "Logdateien können noch nicht gelesen werden: der Log-Leser fehlt in diesem Programmstand.",
    "Log files cannot be read yet: this build has no log reader."};

}  // namespace

std::variant<TTuneLog, TextPair> SamplesFromLog(const std::string& path, const TZVDataClass& data) {
    (void)path;
    (void)data;
    return kNoReader;
}

}  // namespace zv
