#pragma once

struct CheckContext;

// The rule families of the catalogue check. Each adds its findings to the context; a family
// whose columns the catalogue lacks finds nothing.
namespace CheckRules {

// Head rows (group-no-head, group-bad-head-type), type numbers (type-duplicate), groups and
// their descriptions (group-without-designation, designation-without-articles), row numbers
// (row-number-duplicate).
void groups(CheckContext &context);

// References to other groups: TBH/APP (tbh-app-missing-group, tbh-app-not-accessory) and
// "=" equivalence lines (eqv-missing-target).
void references(CheckContext &context);

// CCONF texts the contact-definition dialog cannot read back as they are (cconf-round-trip).
void contacts(CheckContext &context);

// Values the fixed-width exchange file cannot hold as they are (value-too-long,
// value-not-cp1252, value-leading-space, value-line-break).
void values(CheckContext &context);

// The same article number of the same maker in two places (artnr-duplicate).
void articleNumbers(CheckContext &context);

} // namespace CheckRules
