#pragma once
// The verification test of a scale, run from the indicator's own live weight: zero,
// a weighing test with increasing then decreasing loads, repeatability and
// eccentricity. Each step tells the technician which load to put where (the
// operator's okCancel), then reads the gross weight until the indicator reports it
// stable or the time limit passes, and judges the error against the permissible
// error of the class. One job for the window and the tool; both only gather the
// request and render the result.
//
//   VerificationRequest request{.range = RangeOfCodes(codes), .decimals = 1};
//   request.plan = DefaultPlan(request.range, request.accuracy);
//   const VerificationResult result = RunVerification(link, op, texts, request);
//   if (!result.complete()) ...cancelled or no answer, with what was measured...

#include "shell/TextService.h"
#include "verify/Permissible.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

namespace vx {

class Link;
class Operator;
struct RangeCodes;

enum class VerifyStepKind { Zero, Increasing, Decreasing, Repeatability, Eccentricity };
// "zero", "increasing", "decreasing", "repeatability", "eccentricity".
QString VerifyStepKindKey(VerifyStepKind kind);

// Where on the platform a load goes: the centre, or one of the four quarter segments.
inline constexpr int CentrePosition = 0;
inline constexpr int SegmentCount = 4;

// Which parts run and at which loads (kg).
struct VerificationPlan {
    bool zero = false;
    std::vector<double> loads = {};     // the weighing test: these increasing, then decreasing
    std::vector<double> repeatability = {};  // one series per load
    int repeats = 3;                    // weighings a series
    std::optional<double> eccentricity; // the load put at the centre and on each segment
    bool empty() const { return !zero && loads.empty() && repeatability.empty() && !eccentricity; }
};

// Every part at its usual loads: zero; Min (20 e for III, 10 e for IIII), the loads
// where the permissible error changes (500 e and 2000 e, or 50 e and 200 e) within
// the range, about half Max and Max; repeatability at about half Max and near Max;
// eccentricity at about a third of Max. Loads are whole divisions of their range.
VerificationPlan DefaultPlan(const ScaleRange &range, AccuracyClass accuracy);

// A list of loads as the technician types it: kg above 0 joined by commas ("2,50,150"),
// or by semicolons when a decimal comma is used ("2,5;50"). Nothing for anything else.
std::optional<std::vector<double>> ParseLoadList(const QString &text);
// One load in kg above 0 (a decimal comma or point); nothing for anything else.
std::optional<double> ParseLoad(const QString &text);

// The range of the indicator's codes (mode, capacities, divisions); nothing when a
// code is outside the lists.
std::optional<ScaleRange> RangeOfCodes(const RangeCodes &codes);

// One step of the plan, with the division it is judged in.
struct VerifyStep {
    VerifyStepKind kind = VerifyStepKind::Zero;
    double reference = 0;  // kg
    int position = CentrePosition;
    int series = 0;        // repeatability: 1, 2, ...
    double e = 0;          // kg
};

// The plan's steps in order. On a dual range a load takes e of the range it lies in
// while loads increase; once a load reached the second range, decreasing loads keep
// the second e until the scale is back at zero. Each repeatability and eccentricity
// weighing starts from an empty platform.
std::vector<VerifyStep> PlanSteps(const VerificationPlan &plan, const ScaleRange &range);

// What the technician asked for.
struct VerificationRequest {
    ScaleRange range;
    int decimals = 0;  // the weight registers' decimals (of the first division)
    AccuracyClass accuracy = AccuracyClass::III;
    bool inService = false;
    VerificationPlan plan;
    double stableTimeout = 10.0;  // seconds a step waits for a stable weight
    // Ask after each loaded step for the small weights added until the display
    // stepped up (ΔL); the error is then taken at the changeover point.
    bool askChangeover = false;
};

struct VerifyStepResult {
    VerifyStep step;
    std::optional<double> indication;  // the last whole gross read (kg)
    std::optional<double> changeover;  // ΔL given (kg)
    double error = 0;                  // indication - reference, or I + e/2 - ΔL - L
    double mpe = 0;                    // permissible error (kg, absolute)
    bool stable = false;               // the weight was stable when taken
    bool pass = false;
};

// A repeatability series: the spread of its indications against the permissible error.
struct VerifySeries {
    int series = 0;
    double reference = 0;
    double spread = 0;
    double mpe = 0;
    bool pass = false;
};

enum class VerificationEnd { Finished, Cancelled, NoAnswer };
// "finished", "cancelled", "no-answer".
QString VerificationEndKey(VerificationEnd end);

struct VerificationResult {
    AccuracyClass accuracy = AccuracyClass::III;
    bool inService = false;
    ScaleRange range;
    double stableTimeout = 0;
    int plannedSteps = 0;
    std::vector<VerifyStepResult> steps;  // in the order measured
    std::vector<VerifySeries> series;     // repeatability series measured whole
    VerificationEnd end = VerificationEnd::Finished;
    QDateTime when;  // the end, by the link's clock
    bool complete() const { return end == VerificationEnd::Finished; }
    bool anyFailed() const;
    // Complete and every step and series within its limits.
    bool pass() const { return complete() && !anyFailed(); }
    // Some step was judged without the changeover weights: its error is known to ±e/2.
    bool withoutChangeover() const;
};

// Runs the plan on an open port (the caller holds the line). Cancel at a prompt, or
// the link's AbortRequested, ends it with what was measured (Cancelled); a step whose
// reads never come whole ends it as NoAnswer.
VerificationResult RunVerification(Link &link, Operator &op, const TextService &texts,
                                   const VerificationRequest &request);

}  // namespace vx
