// duplicate_contacts.cpp: the contact key of a record line and the finder.

#include "convert/duplicate_contacts.h"

#include "platform/text.h"

namespace {

constexpr std::int32_t kSameContactSeconds = 2 * 60;

// Seconds into the day of a TIME_ON written HHMM or HHMMSS; -1 otherwise.
std::int32_t SecondsOf(std::string_view time) {
  if (time.size() != 4 && time.size() != 6) return -1;
  std::int32_t parts[3] = {0, 0, 0};
  for (std::size_t i = 0; i < time.size(); ++i) {
    if (time[i] < '0' || time[i] > '9') return -1;
    parts[i / 2] = parts[i / 2] * 10 + (time[i] - '0');
  }
  return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

}  // namespace

bool ContactKey::Complete() const {
  return !call.empty() && !qso_date.empty() && !band.empty() &&
         !mode.empty() && !time_on.empty();
}

ContactKey ContactOfLine(std::string_view line) {
  ContactKey key;
  const std::size_t size = line.size();
  std::size_t at = 0;
  int missing = 5;
  while (missing > 0 && at < size && line[at] == '<') {
    std::size_t colon = at + 1;
    while (colon < size && line[colon] != ':' && line[colon] != '>') ++colon;
    if (colon >= size || line[colon] != ':') break;  // "<EOR>"
    std::size_t close = colon + 1;
    std::size_t length = 0;
    for (; close < size && line[close] >= '0' && line[close] <= '9'; ++close) {
      length = length * 10 + static_cast<std::size_t>(line[close] - '0');
      if (length > size) return key;
    }
    if (close >= size || line[close] != '>' || length > size - close - 1)
      break;
    std::string_view name = line.substr(at + 1, colon - at - 1);
    std::string_view* field = name == "CALL"       ? &key.call
                              : name == "QSO_DATE" ? &key.qso_date
                              : name == "BAND"     ? &key.band
                              : name == "MODE"     ? &key.mode
                              : name == "TIME_ON"  ? &key.time_on
                                                   : nullptr;
    if (field && field->empty()) {
      *field = line.substr(close + 1, length);
      --missing;
    }
    at = close + 1 + length + 1;  // past the blank after the value
  }
  return key;
}

bool DuplicateFinder::Check(const ContactKey& contact, ContactOrigin origin,
                            ContactOrigin* earlier) {
  if (!contact.Complete()) return false;
  // The four values that must be equal, apart by a NUL, which no value
  // holds; a time that is not HHMM[SS] joins them and must be equal too.
  std::string key;
  key.reserve(contact.call.size() + contact.qso_date.size() +
              contact.band.size() + contact.mode.size() + 4);
  key += AsciiUpperText(contact.call);
  for (std::string_view part : {contact.qso_date, contact.band, contact.mode}) {
    key += '\0';
    key += part;
  }
  std::int32_t seconds = SecondsOf(contact.time_on);
  if (seconds < 0) {
    key += '\0';
    key += contact.time_on;
    seconds = 0;
  }

  auto found = newest_.find(key);
  std::uint32_t previous = found == newest_.end() ? 0 : found->second + 1;
  for (std::uint32_t i = previous; i != 0; i = seen_[i - 1].previous) {
    const Seen& seen = seen_[i - 1];
    std::int32_t apart = seen.seconds - seconds;
    if (apart >= -kSameContactSeconds && apart <= kSameContactSeconds) {
      *earlier = seen.origin;
      return true;
    }
  }
  seen_.push_back(Seen{seconds, previous, origin});
  const std::uint32_t newest = static_cast<std::uint32_t>(seen_.size() - 1);
  if (found == newest_.end())
    newest_.emplace(std::move(key), newest);
  else
    found->second = newest;
  return false;
}
