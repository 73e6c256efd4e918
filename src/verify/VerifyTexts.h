#pragma once
// The verification's own texts in the two built-in languages: the prompts of its
// steps and the captions of its record. The language is the text service's.

#include "shell/TextService.h"

#include <QString>

namespace vx {

enum class VerifyText {
    // Prompts: %1 step, %2 of steps, %3 kg, %4 segment number, %5 segment name.
    PromptZero,
    PromptCentre,
    PromptSegment,
    PromptChangeover,  // %1 step
    PromptTitle,
    ChangeoverOutOfRange,  // %1 the entry, %2 one division in kg
    SegmentFrontLeft,
    SegmentFrontRight,
    SegmentBackRight,
    SegmentBackLeft,
    NotStable,         // %1 seconds
    // The record.
    RecordTitle,
    Date,
    Model,
    Version,
    Identification,
    Range,
    AccuracyClassCaption,
    InService,
    Customer,
    Site,
    Technician,
    TestWeights,
    AsFound,
    AsLeft,
    KindZero,
    KindIncreasing,
    KindDecreasing,
    KindRepeatability,
    KindEccentricity,
    Centre,
    Segment,           // %1 number
    ColumnTest,
    ColumnReference,
    ColumnIndication,
    ColumnError,
    ColumnMpe,
    ColumnE,
    ColumnResult,
    Pass,
    Fail,
    Series,            // %1 series, %2 spread kg, %3 mpe kg
    Verdict,
    VerdictPass,
    VerdictFail,
    Incomplete,        // the test was ended before its last step
    NoAnswerEnd,       // the indicator stopped answering
    HalfDivision,      // the error is known only to ±e/2
    ChangeoverUsed,    // errors at the changeover point
    Note,
    SignatureTechnician,
    SignatureCustomer,
    // The window's dialog.
    DialogMenu,
    DialogStage,
    DialogLoads,
    DialogRepeatability,
    DialogEccentricity,
    DialogTimeout,
    DialogChangeover,
    DialogStart,
    DialogNotConnected,
    DialogBadInput,     // %1 the field's caption
    DialogAboveMax,     // %1 kg, %2 Max kg
    RecordNotWritten,   // %1 path, %2 reason
};

QString VerifyTextOf(VerifyText id, Language language);
inline QString VerifyTextOf(VerifyText id, const TextService &texts) { return VerifyTextOf(id, texts.language()); }

}  // namespace vx
