#pragma once

// The news page of the main window's browser: fetched over HTTP, or a short
// built-in page when it cannot be had.

#include <atomic>
#include <optional>
#include <string>

namespace pelmora {

inline constexpr int kNewsTimeoutSeconds = 5;

// The body of a complete, non-empty 2xx answer of type text (HTML or plain),
// or nothing. `cancel`, when set, makes it give up at once.
std::optional<std::string> fetchNewsPage(const std::string& address,
                                         const std::atomic<bool>* cancel = nullptr);

// Shown instead: names the product and links the site's page.
std::string builtInNewsPage();

}  // namespace pelmora
