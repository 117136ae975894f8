// adx_reader.h: reading the XML form of ADIF (.adx) a record at a time, into
// the same records as the tagged form.
//
// <ADX> holds a <HEADER> of fields and <RECORDS> of <RECORD>s of fields, each
// field an element whose text is its data: <CALL>W1AW</CALL>. An
// <APP PROGRAMID="P" FIELDNAME="F"> element is the field APP_P_F, a
// <USERDEF FIELDNAME="F"> in a record the field F, and a <USERDEF FIELDID="N">
// in the header the header field USERDEFN. Entities (&lt; &amp; &#233; ...)
// and CDATA sections are decoded; comments, processing instructions and a
// DOCTYPE are passed over. Element names are compared without regard to
// letter case. What is malformed is kept as a kXml problem, and reading goes
// on at the next "<".

#ifndef LOGWEAVE_ADIF_ADX_READER_H_
#define LOGWEAVE_ADIF_ADX_READER_H_

#include <memory>

#include "adif/adif_reader.h"

/// A reader of the XML form in \a file; \a fast as for MakeAdifReader.
std::unique_ptr<AdifRecordReader> MakeAdxReader(InputFile* file,
                                                std::size_t block_size,
                                                bool fast);

/// A reader of the XML form in \a file from \a offset, just past the
/// </RECORD> of a record, inside <RECORDS>.
std::unique_ptr<AdifRecordReader> MakeAdxReaderAfterRecord(
    InputFile* file, std::uint64_t offset);

#endif  // LOGWEAVE_ADIF_ADX_READER_H_
