#pragma once

// Who is asked for a domain's dates, in which order. The route table's
// suffixes keep their registry (WHOIS, or RDAP found through IANA's
// bootstrap); every other suffix asks the web service first and, when it
// cannot answer, the registry's RDAP server, then its WHOIS server as IANA
// names it. The user may put the registry first (the service then comes
// last) or ask the service only.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/date_lookup_result.h"
#include "support/endpoints.h"

namespace pelmora {

class RdapBootstrap;

enum class SourceChoice { Auto, Registry, Service };

// "auto", "registry", "service".
std::optional<SourceChoice> parseSourceChoice(std::string_view text);

enum class SourceKind { Whois, Rdap, WebService };

struct LookupStep {
  SourceKind kind = SourceKind::WebService;
  HostPort whois;          // Whois; an empty host: IANA's referral is still to be asked
  bool cnAnswers = false;  // Whois: CNNIC's layout
  std::string rdapBase;    // Rdap
  std::string tld;         // the top-level label, for the referral

  // What the step is paced by: the WHOIS host, the RDAP host or the web host.
  std::string serverKey() const;
  // What the 查询来源 column records: the WHOIS host, the RDAP base URL or
  // the web service's host.
  std::string sourceName() const;
};

// The steps for a domain, first to last.
std::vector<LookupStep> lookupPlan(std::string_view domain, SourceChoice choice,
                                   const RdapBootstrap& bootstrap);

// The plan in words, for a report: "WHOIS host", "RDAP base URL", "网页查询
// host", "WHOIS (IANA)" for a server still to be asked of IANA, joined by
// " > ".
std::string describePlan(const std::vector<LookupStep>& plan);

// Fills in a WHOIS step's server from IANA's referral (cached); none when the
// top-level domain has no WHOIS server.
std::optional<LookupStep> resolveStep(const LookupStep& step, CancelFlag cancel);

LookupAnswer askStep(const LookupStep& step, std::string_view domain, CacheChoice cache,
                     CancelFlag cancel);

// Whether the next step is asked after this answer: the source had no answer
// ("err", "err2"), refused ("超过查询次数") or, for the web service, does not
// serve the suffix ("非法后缀" for a well-formed name).
bool asksNextStep(const LookupStep& step, const DateLookupResult& result);

// The outcome of a whole plan.
struct SourcedLookup {
  DateLookupResult result;  // the first definite answer, else the first step's
  std::string source;       // of the answer kept; empty when nothing answered
  std::string status;
  bool answered() const;  // dates or "未注册": worth recording as an answer
};

// Folds one step's answer into the outcome so far.
void keepAnswer(SourcedLookup& outcome, const LookupStep& step, const LookupAnswer& answer,
                bool firstStep);

}  // namespace pelmora
