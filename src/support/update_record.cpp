#include "support/update_record.h"

#include <vector>

#include "support/endpoints.h"
#include "support/http_request.h"
#include "support/text_encoding.h"
#include "support/text_helpers.h"

namespace pelmora {

std::string updateAddress() { return "http://" + siteHost() + "/pelmora/Pelmora_19.txt"; }

std::string defaultUpdateText() {
  const std::string host = siteHost();
  return std::string(kProgramVersion) + "|http://" + host + "/pelmora/#down|官网: " + host +
         "  用户交流群: 见官网|http://" + host + "/pelmora/d.html";
}

std::optional<UpdateRecord> updateRecordFields(std::string_view text) {
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  std::vector<std::string> fields = splitText(text, "|");
  if (fields.size() < 4) return std::nullopt;
  // A record saved by an editor often ends in a line break.
  for (std::string& field : fields) {
    while (!field.empty() &&
           (field.back() == '\r' || field.back() == '\n' || field.back() == ' ')) {
      field.pop_back();
    }
  }
  return UpdateRecord{std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
                      std::move(fields[3])};
}

UpdateRecord readUpdateRecord(std::string_view text) {
  if (auto record = updateRecordFields(text)) return *std::move(record);
  return *updateRecordFields(defaultUpdateText());
}

bool isValidUpdateText(std::string_view text, std::string_view host) {
  if (!isValidUtf8(text) || host.empty() || text.find(host) == std::string_view::npos) {
    return false;
  }
  const std::optional<UpdateRecord> record = updateRecordFields(text);
  return record && isWebAddress(record->downloadAddress) && isWebAddress(record->newsAddress);
}

bool offersNewVersion(const UpdateRecord& record) { return record.version != kProgramVersion; }

std::string fetchUpdateText(const std::atomic<bool>* cancel) {
  HttpRequest request;
  request.url = updateAddress();
  request.noRedirect = true;
  request.timeoutSeconds = kUpdateTimeoutSeconds;
  request.cancel = cancel;
  const HttpResponse response = httpRequest(request);
  const bool answered = response.complete && response.status >= 200 && response.status < 300;
  if (answered && isValidUpdateText(response.body, siteHost())) return response.body;
  return defaultUpdateText();
}

}  // namespace pelmora
