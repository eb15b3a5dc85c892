// How the program heads a message and colours a relation: the same in the
// window (its list and detail dialog) and in the reports it writes.
#pragma once

#include <cstdint>
#include <string>

// The head of message `index` (0-based) of `count`: "--- Diplomatic
// Message [i/n] --- from: Zorgs ( Relation: Enemy )", "next turn outgoing
// to: ..." for outgoing post, or "--- System Message [i/n] ---" without a
// race name. The relation is RACRELATION's number: 0 Friend, 1 Neutral,
// any other Enemy.
std::string MessageHeading(const std::string& raceName, bool incoming, int32_t relation, int index,
                           int count);

// The colour of a relation: green for friends, grey for neutrals, red for
// enemies, the foreground colour for another or an unknown one.
uint32_t RelationColor(bool known, int32_t relation);
