// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <QStringList>

// Writes a few itineraries into a device's itinerary folder (created when missing):
// "Krakow.itn" (old town walk), "Orle_Gniazda.itn" (castle trail), "Wisla_100.itn"
// (100 points along the Vistula, more than the device takes: saving it offers the
// split) and "temporary.iti", the device's current itinerary. Names are written in
// the device code page. Returns the files written; throws KorvixError when one
// cannot be written.
QStringList writeSampleItineraries(const QString &itnFolder);
