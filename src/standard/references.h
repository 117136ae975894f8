// references.h: the references of award programs the standard gives a
// type of their own: IOTA islands, SOTA summits, POTA parks, WWFF areas.

#ifndef LOGWEAVE_STANDARD_REFERENCES_H_
#define LOGWEAVE_STANDARD_REFERENCES_H_

#include <string_view>

/// An IOTA reference: a continent, "-" and a number from 001 (EU-005).
bool IsIotaReference(std::string_view s);

/// A SOTA reference: an association, "/", a region, "-" and three digits
/// (G/LD-003).
bool IsSotaReference(std::string_view s);

/// A POTA reference: a prefix, "-" and four or five digits, perhaps with
/// "@" and a location (K-5033, VE-5082@CA-AB).
bool IsPotaReference(std::string_view s);

/// A WWFF reference: a prefix, "FF-" and four digits (KFF-4655).
bool IsWwffReference(std::string_view s);

#endif  // LOGWEAVE_STANDARD_REFERENCES_H_
