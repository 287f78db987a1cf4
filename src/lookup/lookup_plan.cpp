#include "lookup/lookup_plan.h"

#include "lookup/date_update.h"
#include "lookup/iana_whois.h"
#include "lookup/lookup_route.h"
#include "lookup/rdap_bootstrap.h"
#include "lookup/rdap_client.h"
#include "lookup/web_whois.h"
#include "lookup/whois_client.h"
#include "support/text_helpers.h"

namespace pelmora {
namespace {

// The last label of a name, lower case ("cn" for "a.com.cn").
std::string topLabel(std::string_view domain) {
  const std::size_t dot = domain.rfind('.');
  return lowerAscii(dot == std::string_view::npos ? domain : domain.substr(dot + 1));
}

std::string hostOfUrl(std::string_view url) {
  std::size_t start = url.find("://");
  start = start == std::string_view::npos ? 0 : start + 3;
  const std::size_t end = url.find('/', start);
  return std::string(url.substr(start, end == std::string_view::npos ? url.npos : end - start));
}

LookupStep webStep() { return {}; }

LookupStep rdapStep(std::string base) {
  LookupStep step;
  step.kind = SourceKind::Rdap;
  step.rdapBase = std::move(base);
  return step;
}

LookupStep referralStep(std::string tld) {
  LookupStep step;
  step.kind = SourceKind::Whois;
  step.tld = std::move(tld);
  return step;
}

}  // namespace

std::optional<SourceChoice> parseSourceChoice(std::string_view text) {
  if (text == "auto") return SourceChoice::Auto;
  if (text == "registry") return SourceChoice::Registry;
  if (text == "service") return SourceChoice::Service;
  return std::nullopt;
}

std::string LookupStep::serverKey() const {
  switch (kind) {
    case SourceKind::Whois:
      return whois.host.empty() ? "whois:" + tld : whois.host + ":" + std::to_string(whois.port);
    case SourceKind::Rdap:
      return hostOfUrl(rdapBase);
    case SourceKind::WebService:
      break;
  }
  return webWhoisHost();
}

std::string LookupStep::sourceName() const {
  switch (kind) {
    case SourceKind::Whois:
      return whois.host;
    case SourceKind::Rdap:
      return rdapBase;
    case SourceKind::WebService:
      break;
  }
  return webWhoisHost();
}

std::vector<LookupStep> lookupPlan(std::string_view domain, SourceChoice choice,
                                   const RdapBootstrap& bootstrap) {
  const std::string suffix = lookupSuffix(domain);
  const LookupRoute route = lookupRouteFor(suffix);
  if (route.service == LookupService::Whois) {
    LookupStep step;
    step.kind = SourceKind::Whois;
    step.whois = whoisServerFor(suffix).value_or(HostPort{});
    step.cnAnswers = route.cnAnswers;
    return {step};
  }
  const std::string tld = topLabel(domain);
  const std::optional<std::string> registryRdap =
      rdapBaseOverride() ? rdapBaseOverride() : bootstrap.baseUrlFor(domain);
  if (route.service == LookupService::Rdap) return {rdapStep(rdapBaseFor(suffix, bootstrap))};
  std::vector<LookupStep> plan;
  if (choice != SourceChoice::Registry) plan.push_back(webStep());
  if (choice == SourceChoice::Service) return plan;
  if (registryRdap) plan.push_back(rdapStep(*registryRdap));
  plan.push_back(referralStep(tld));
  // Registry first: the service still answers when the registry cannot.
  if (choice == SourceChoice::Registry) plan.push_back(webStep());
  return plan;
}

std::string describePlan(const std::vector<LookupStep>& plan) {
  std::string text;
  for (const LookupStep& step : plan) {
    if (!text.empty()) text += " > ";
    switch (step.kind) {
      case SourceKind::Whois:
        text += step.whois.host.empty() ? std::string("WHOIS (IANA)") : "WHOIS " + step.whois.host;
        break;
      case SourceKind::Rdap:
        text += "RDAP " + step.rdapBase;
        break;
      case SourceKind::WebService:
        text += "网页查询 " + step.sourceName();
        break;
    }
  }
  return text;
}

std::optional<LookupStep> resolveStep(const LookupStep& step, CancelFlag cancel) {
  if (step.kind != SourceKind::Whois || !step.whois.host.empty()) return step;
  // Whether the top-level domain has a WHOIS server is IANA's word even when
  // PELMORA_WHOIS_SERVER takes every WHOIS query.
  const auto server = registryWhoisServer(step.tld, cancel);
  if (!server) return std::nullopt;
  LookupStep resolved = step;
  resolved.whois = whoisServerOverride().value_or(*server);
  return resolved;
}

LookupAnswer askStep(const LookupStep& step, std::string_view domain, CacheChoice cache,
                     CancelFlag cancel) {
  switch (step.kind) {
    case SourceKind::Whois: {
      if (step.whois.host.empty()) return {std::string(kLookupNoAnswer), {}, {}};
      WhoisTimeouts timeouts;
      timeouts.cancel = cancel;
      // A server IANA named is asked once: its answers may carry none of the
      // markers the table's servers are asked again for.
      if (!step.tld.empty()) timeouts.attempts = 1;
      return {queryWhoisAt(domain, step.whois, step.cnAnswers, timeouts), {}, {}};
    }
    case SourceKind::Rdap:
      return askRdap(domain, step.rdapBase, cancel);
    case SourceKind::WebService:
      break;
  }
  return askWebWhois(domain, cache, cancel);
}

bool asksNextStep(const LookupStep& step, const DateLookupResult& result) {
  if (result == kLookupNoAnswer || result == kLookupServiceError || result == kLookupQueryLimit) {
    return true;
  }
  return step.kind == SourceKind::WebService && result == kLookupIllegalSuffix;
}

bool SourcedLookup::answered() const {
  return result == kLookupNotRegistered || lookupMessage(result).empty();
}

void keepAnswer(SourcedLookup& outcome, const LookupStep& step, const LookupAnswer& answer,
                bool firstStep) {
  const bool definite = !asksNextStep(step, answer.result);
  if (!firstStep && !definite) return;
  outcome.result = answer.result;
  outcome.status = answer.status;
  outcome.source = definite ? step.sourceName() : std::string();
}

}  // namespace pelmora
