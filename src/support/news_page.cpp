#include "support/news_page.h"

#include "support/endpoints.h"
#include "support/http_request.h"
#include "support/text_helpers.h"

namespace pelmora {

std::optional<std::string> fetchNewsPage(const std::string& address,
                                         const std::atomic<bool>* cancel) {
  HttpRequest request;
  request.url = address;
  request.timeoutSeconds = kNewsTimeoutSeconds;
  request.cancel = cancel;
  HttpResponse response = httpRequest(request);
  if (!response.complete || response.status < 200 || response.status >= 300) return std::nullopt;
  // No type at all is taken as text, as browsers do with a bare page.
  const std::string type = trimSpaces(response.contentType);
  if (!type.empty() && findText(type, "text/", 0, true) != 0) return std::nullopt;
  if (response.body.empty()) return std::nullopt;
  return std::move(response.body);
}

std::string builtInNewsPage() {
  const std::string site = "http://" + siteHost() + "/pelmora/";
  return "<p>青禾名簿(Pelmora): 暂时无法载入最新消息。请访问官网 <a href=\"" + site + "\">" + site +
         "</a></p>";
}

}  // namespace pelmora
