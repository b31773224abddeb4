#pragma once

#include "startup/runtime_error.h"

#include <QString>

// The texts of the failures that do not come from SQLite itself: misuse of a result set, a Null read
// as a number, a closed connection. They are the platform's own wording for the same failures.
namespace kestrova {

inline const QString kInvalidUseOfNull = QStringLiteral("不正確使用 Null");
inline const QString kNoCurrentRecord =
    QStringLiteral("BOF 或 EOF 其中之一為 True，或目前的記錄已被刪除。所要求的操作需要一個目前的記錄。");
inline const QString kItemNotFound = QStringLiteral("在對應所要求名稱或序數的集合中，找不到項目。");
inline const QString kConnectionClosed = QStringLiteral("物件關閉時，不允許操作。");
inline const QString kConnectionOpen = QStringLiteral("物件開啟時，不允許操作。");
inline const QString kNoRecordset = QStringLiteral("沒有設定物件變數或 With 區塊變數");

} // namespace kestrova
