#pragma once

#include <QString>

// Where in the help page each step of the wizard is explained: F1 and the help button
// open the page at the section of the step the teacher is at.
namespace HelpSections {

// The anchor of the section for wizard step `step` (0 welcome to 5 delivery), with
// `topic` the chosen topic (0 to 8) for the editor's step.
QString ForStep(int step, int topic);

// `page` (a file path) at the section `anchor`, as "page#anchor"; the page alone
// when there is no anchor.
QString PageAt(const QString& page, const QString& anchor);

// Splits "page#anchor" into its two parts.
void Split(const QString& pageAt, QString* page, QString* anchor);

} // namespace HelpSections
