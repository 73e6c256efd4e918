#pragma once
// The indicator's register map where more than one room talks to the same register:
// the one place that spells these numbers. A room keeps the registers only it uses
// beside its own sequences.

namespace vx::reg {

// The command register: a code written to it makes the indicator load, store or
// switch modes (host mode on 19, off 20; the memories' load and store codes).
inline constexpr int Command = 19;
// The version text (10 bytes): its first three characters name the model.
inline constexpr int Version = 199;
// The weights the indicator shows (4 bytes each, signed, in units of the division's
// last decimal): the gross weight and the net weight.
inline constexpr int Gross = 0;
inline constexpr int Net = 3;

}  // namespace vx::reg
