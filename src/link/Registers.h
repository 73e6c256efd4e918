#pragma once
// The indicator's register map and the codes written to its command register: the
// one place that spells a register number or a command code. A sequence names the
// register it talks to; a catalogue of data rows may keep offsets from these.

namespace vx {

namespace reg {

// ---- live values and status (read while the status tab runs) --------------------
inline constexpr int GrossWeight = 0;      // 4 bytes; also the weight calibration watches
inline constexpr int OperatingStatus = 2;  // 2 bytes: the operating status word
inline constexpr int NetWeight = 3;        // 4 bytes
inline constexpr int TareWeight = 5;       // 4 bytes
inline constexpr int StatusAcknowledge = 8;  // written with 7 while the status is read
inline constexpr int Setpoint1Value = 11;  // 4 bytes each
inline constexpr int Setpoint2Value = 13;
inline constexpr int Setpoint3Value = 15;
inline constexpr int HardwareStatus = 25;  // 2 bytes: the hardware status word

// ---- command and calibration -----------------------------------------------------
// The command register: a code written to it (cmd:: below) makes the indicator load,
// store or switch modes.
inline constexpr int Command = 19;
inline constexpr int TestWeight = 20;        // the test weight in units of the division's last decimal
inline constexpr int CalibrationStep = 22;   // 1 begin, 2 finish, 3 zero, 4 span
inline constexpr int CalibrationStatus = 23; // A: 00 / 01 done, else busy; B: 00 accepted, else a refusal code
inline constexpr int AnalogAdjust = 24;      // 1 start, 2 end, 3..10 steps

// ---- memories ------------------------------------------------------------------
// The six ticket lines (header 1-4, footnote 1-2): 21-byte records packed one after
// another from register 40.
inline constexpr int TicketHeader1 = 40;
inline constexpr int TicketHeader2 = 50;
inline constexpr int TicketHeader3 = 61;
inline constexpr int TicketHeader4 = 71;
inline constexpr int TicketFootnote1 = 83;
inline constexpr int TicketFootnote2 = 93;
inline constexpr int IdRecord = 105;   // 24 bytes: the working ID record (selector, number, name)
inline constexpr int SetpointRecord = 117;  // 14 bytes: the working setpoint record
inline constexpr int IdHeader = 209;   // 14 bytes: the working ID header line
inline constexpr int EplText = 217;    // the printer program text, 1000 bytes from here

// ---- parameter blocks ------------------------------------------------------------
inline constexpr int Clock = 124;              // 8 bytes: date and time
inline constexpr int CalibrationBlock = 128;   // 40 bytes, registers 128..147
inline constexpr int OperatingMode = 128;      // mode code, 00 (the calibration block's first register)
inline constexpr int Range1 = 129;             // 1st capacity code, 1st division code
inline constexpr int Range2 = 130;             // 2nd capacity code, 2nd division code
inline constexpr int CalibrationUnlock = 144;
inline constexpr int Seal = 146;
inline constexpr int ConfigurationBlock = 149; // 100 bytes, registers 149..198
inline constexpr int Metrology = 149;          // metrology code, a byte kept as read
inline constexpr int MetrologyBytes = 150;     // M1 01 01 M2 01 M3 (registers 150..152)
inline constexpr int AnalogZeroValue = 190;
inline constexpr int AnalogSpanValue = 191;
inline constexpr int AnalogOutputType = 195;
// The version text (10 bytes): its first three characters name the model.
inline constexpr int Version = 199;
inline constexpr int SecondText = 204;         // 10 bytes: the second identification text

}  // namespace reg

// Codes written to reg::Command (2 bytes, "LG").
namespace cmd {
inline constexpr int LoadSetpoint = 1;        // after the record is selected in reg::SetpointRecord
inline constexpr int StoreSetpoint = 2;
inline constexpr int LoadTicketLines = 3;     // before the ticket lines are read
inline constexpr int StoreTicketLines = 4;
inline constexpr int LoadClock = 5;           // before reg::Clock is read
inline constexpr int StoreClock = 6;          // after reg::Clock is written
inline constexpr int LoadConfiguration = 7;   // before reg::ConfigurationBlock (and 174, 199, 204) is read
inline constexpr int StoreConfiguration = 8;  // after the configuration's last pieces (and the analog output type)
inline constexpr int StoreConfigurationHead = 9;  // after the configuration's first piece (registers 149, 150)
inline constexpr int LoadIdRecord = 10;       // after the record is selected in reg::IdRecord
inline constexpr int StoreIdRecord = 11;
inline constexpr int LoadCalibration = 12;    // before reg::CalibrationBlock (and the seal) is read
inline constexpr int StoreCalibration = 13;   // after the calibration block is written
inline constexpr int LoadIdHeader = 15;       // after a header line is selected in reg::IdHeader
inline constexpr int StoreIdHeader = 16;
inline constexpr int HostOn = 19;             // enters host mode: opens a sequence of writes or reads
inline constexpr int HostOff = 20;            // leaves host mode
inline constexpr int StoreEplText = 21;
}  // namespace cmd

}  // namespace vx
