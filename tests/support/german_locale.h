#pragma once

#include <clocale>
#include <string>

namespace zv::test {

// The C library switched to German for the scope, as QApplication does on a German desktop:
// printf and streams then write a decimal comma. Active() is false where no German locale is
// installed (the test then skips).
class GermanLocale {
  public:
    GermanLocale() {
        const char* previous = std::setlocale(LC_ALL, nullptr);
        saved_ = previous != nullptr ? previous : "C";
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr ||
                  std::setlocale(LC_ALL, "de_DE") != nullptr;
    }
    ~GermanLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;

    bool Active() const { return active_; }

  private:
    std::string saved_;
    bool active_ = false;
};

}  // namespace zv::test
