#pragma once

#include <cstdint>
#include <string_view>

#include "engine/ftp/FtpListText.h"

// The LIST forms of systems other than Unix and Windows. Each reader takes the line and its
// fields and leaves a line it does not recognise unread, so the next family can try it.
namespace tovan::ftp_list {

// "+i8388621.48594,m825718503,r,s280,\tname"
LineResult parse_eplf_line(std::string_view line);
// "NAME.EXT;1  12/20  21-MAR-2002 10:43:12  [GROUP,OWNER]  (RWED,RWED,RE,)", the fields after
// the name in any order; "NAME.DIR;1" is a folder.
LineResult parse_vms_line(std::string_view line, const Fields& fields, std::int64_t now);
// A VMS name alone on its line: the rest of the entry is on the lines that follow.
bool is_vms_name_alone(const Fields& fields);
// "  36611      A    04-23-103  10:57  name" and "      0   DIR  05-12-97  16:44  name"
LineResult parse_os2_line(std::string_view line, const Fields& fields, std::int64_t now);
// "      3342    SEP-28-2004  15:16:58   name" with "<DIR>" after folder names
LineResult parse_vxworks_line(std::string_view line, const Fields& fields, std::int64_t now);
// "  0.0      03/08/22 0931  ------wr    11ED      1424 name"
LineResult parse_os9_line(std::string_view line, const Fields& fields, std::int64_t now);
// "QSYS            77824 02/23/00 15:09:55 *DIR       QSYS/"
LineResult parse_as400_line(std::string_view line, const Fields& fields, std::int64_t now);
// MVS and z/OS datasets ("WYOSPT 3420 2003/05/21 1 200 FB 80 8053 PS USER.FILE"), partitioned
// dataset members, and the migrated and off-line datasets that list only their names.
LineResult parse_mvs_line(std::string_view line, const Fields& fields, std::int64_t now);
// HP NonStop: "ALIAS    101    1024  19-Dec-02 14:46:58 255,255 \"oooo\""
LineResult parse_nonstop_line(std::string_view line, const Fields& fields, std::int64_t now);

// Lines that list nothing: "total 12" in its languages, the column headings of MVS, OS-9,
// VxWorks and NonStop, VMS's "Directory ...", "Total of ..." and owner or protection lines,
// and rules of dashes.
bool is_known_header(const Fields& fields);

}  // namespace tovan::ftp_list
