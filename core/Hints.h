#pragma once

#include <QString>

// Hint groups: every window names the group of hints that fits it when it is shown.
enum HintGroupId
{
    HintGroupWelcome = 0,
    HintGroupLists = 2,
    HintGroupClassEditors = 41,  // class classification and conduct
    HintGroupHeadAndClass = 51,  // head teacher's report, class educational programme
    HintGroupCurriculum = 61,    // subject curriculum
    HintGroupAdditional = 71,    // additional activities
    HintGroupJustification = 81, // failing-grade justification
    HintGroupOther = 91,         // other report for the minutes
    HintGroupCharter = 101,      // activities under the teachers' charter
    HintGroupPreview = 111,
    HintGroupDelivery = 121,
};

// Number of hints of a group; 0 for a group without hints.
int HintCountOf(int group);

// Hint `index` (1-based) of `group`; empty text outside the group's range or for an
// unknown group.
QString HintText(int group, int index);

// Makes `group` the hints of the window being shown: sets HintGroup and HintCount.
void SetHintGroup(int group);
