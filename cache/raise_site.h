// The places where the table library raises its exceptions: the module
// `smartcache` for the table's storage, `smartcache_inliners` for the column
// and cell accessors, `odbclibinliners` for the copies handed out by the
// getters.
#pragma once

#include "support/raise.h"

namespace site {

inline constexpr char kSmartcache[] = "cache/smartcache";
inline constexpr char kInliners[] = "cache/smartcache_inliners";
inline constexpr char kOdbcInliners[] = "cache/odbclibinliners";

// Cell storage.
inline constexpr RaiseSite kLocateCell{kSmartcache, 141};
inline constexpr RaiseSite kResizeCellAlloc{kSmartcache, 249};
inline constexpr RaiseSite kRemoveCellAlloc{kSmartcache, 348};
inline constexpr RaiseSite kStorageSize{kSmartcache, 416};

// Table streams.
inline constexpr RaiseSite kStreamNotTable{kSmartcache, 530};
inline constexpr RaiseSite kStreamBadRecord{kSmartcache, 567};
inline constexpr RaiseSite kStreamEnded{kSmartcache, 590};

// Columns, rows and positions.
inline constexpr RaiseSite kAddColumnNotEmpty{kInliners, 2619};
inline constexpr RaiseSite kColumnIndex{kInliners, 1482};
inline constexpr RaiseSite kColumnName{kInliners, 1503};
inline constexpr RaiseSite kColumnType{kInliners, 1519};
inline constexpr RaiseSite kRowAtPosition{kInliners, 2239};
inline constexpr RaiseSite kRowAtIndex{kInliners, 2279};
inline constexpr RaiseSite kPatternTypes{kInliners, 1308};

// Allocations of the table's own structures.
inline constexpr RaiseSite kNewRowData{kInliners, 1714};
inline constexpr RaiseSite kNewColumnList{kInliners, 1609};
inline constexpr RaiseSite kCopyRowData{kInliners, 405};
inline constexpr RaiseSite kCopyFlags{kInliners, 39};
inline constexpr RaiseSite kCopyCells{kInliners, 339};
inline constexpr RaiseSite kCopyColumnList{kInliners, 1415};
inline constexpr RaiseSite kGrowFlags{kInliners, 132};
inline constexpr RaiseSite kGrowRowStore{kInliners, 2641};
inline constexpr RaiseSite kSortMemory{kInliners, 2655};

// Copies handed out by getString and getBlob.
inline constexpr RaiseSite kTextCopy{kOdbcInliners, 2357};
inline constexpr RaiseSite kBlobCopy{kOdbcInliners, 2366};

}  // namespace site

// "invalid stream": a table stream without the expected content.
[[noreturn]] void raiseInvalidStream(const RaiseSite& where);
