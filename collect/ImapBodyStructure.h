#pragma once

#include "collect/ImapResponse.h"

// Whether a mail, by the BODYSTRUCTURE its server gives, carries what the mail
// reading takes for a report: a part of an XML type or whose file or display name
// (RFC 2231 or RFC 2047 form alike) ends with ".xml", mails forwarded inside it
// included. Only such mails are fetched whole.
bool CarriesXmlAttachment(const ImapValue& structure);

// A name parameter as the mail means it: RFC 2231 sections joined and
// percent-decoded, RFC 2047 words decoded. `values` are the sections in order.
QString DecodedParameter(const QList<QByteArray>& values, bool extended);
