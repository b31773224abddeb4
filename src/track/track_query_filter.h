#pragma once

#include "data/records.h"

#include <QDate>
#include <QString>
#include <QStringView>
#include <vector>

// The track query's filter: what the filter boxes hold once a query has read them, the terminal whose
// rows are asked for, and the time bounds of the chosen days.
namespace kestrova {

// A filter box's text after the query has read it: its leading number in plain form ("12abc" gives
// "12", "" and "abc" give "0").
QString FilterBoxText(QStringView text);

// The bound a filter box gives the query: its leading number as a Single. A number beyond the Single range
// bounds as an infinity of its sign, so that a huge entry still bounds nothing away.
float FilterBound(QStringView text);

// The terminal number (the CommLog key) of the first vehicle whose plate is exactly PlateNumber; the last
// element of Vehicles, the spare playback slot, is not searched. "" when no vehicle has the plate.
QString TrackQueryKey(const std::vector<VehicleRecord>& Vehicles, const QString& PlateNumber);

// The first day's bound: the day at 00:00:00 as a stored time.
QString TrackFromTime(const QDate& day);
// The last day's bound: the day followed by " 99:99:99", above every stored time of that day, since
// stored times compare as texts.
QString TrackToTime(const QDate& day);

} // namespace kestrova
