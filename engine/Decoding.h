#pragma once
// Decoding of the tracker's data stream into the cycle's raw movement values,
// for the two tracker modes.
#include "core/Choices.h"
#include "core/Movement.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace corvane {

// "Mouse Emulation": nine-character hex-text packets. Every complete packet is
// decoded and its movement added to leftRight and upDown; data out of step is
// skipped; at most 8 characters (an incomplete packet) stay in the buffer.
void decodeMouseEmulation(QByteArray& receiveBuffer, MovementValues& v);

// "Euler Angle": eight-byte binary packets ending in 255. Only the newest packet
// is decoded (when its checksum holds) into the three angles; the buffer is
// always emptied.
void decodeEulerAngle(QByteArray& receiveBuffer, MovementValues& v);

// Decodes by tracker mode; any mode other than "Mouse Emulation" and
// "Euler Angle" decodes nothing and leaves the buffer as it is.
void decodePackets(const QString& mode, QByteArray& receiveBuffer, MovementValues& v);

} // namespace corvane
