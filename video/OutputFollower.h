#pragma once
#include <string_view>

namespace cuewire {

// Told what each announced composition shows, after it has settled and just
// before its frame goes out, so that others can follow the output.
class IOutputFollower {
  public:
    virtual ~IOutputFollower() = default;
    virtual void TextShown(std::u16string_view text) = 0;
    virtual void TextCleared() = 0;
};

}  // namespace cuewire
