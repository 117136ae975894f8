// Tests of a convert run's plan over the in-memory file system: the inputs
// and outputs of a run in, the verdict out.

#include "cli/run_plan.h"

#include <gtest/gtest.h>

#include "platform/fake_file_system.h"

namespace {

TEST(RunPlan, AnOutputThatIsAnInputOrThatTwoTablesShareIsRefused) {
  const struct {
    const char* name;
    std::vector<std::string> tables;  // the tables of the run
    std::vector<std::string> files;   // what else is there
    std::string output;               // -o, if any
    std::function<void(ConvertCommandLine*, FakeFileSystem*)> more;
    std::string refusal;  // "" when the run may go ahead
    // clang-format off
  } cases[] = {
      {"one table beside itself", {"log.dbf"}, {}, "", nullptr, ""},
      {"several tables", {"a.dbf", "b.dbf", "c.dbf"}, {"a.ADI"}, "", nullptr,
       ""},
      {"the table itself", {"log.dbf"}, {}, "log.dbf", nullptr,
       "The output log.dbf would replace the input log.dbf; nothing was "
       "written"},
      {"the memo file, without --memo", {"LOG.dbf"}, {"LOG.FPT"}, "LOG.FPT",
       nullptr,
       "The output LOG.FPT would replace the input LOG.FPT; nothing was "
       "written"},
      {"the memo file in another letter case, where case is ignored",
       {"log.dbf"}, {"LOG.DBT"}, "log.dbt",
       [](ConvertCommandLine*, FakeFileSystem* files) {
         files->ignore_case = true;
       },
       "The output log.dbt would replace the input LOG.DBT; nothing was "
       "written"},
      {"a memo file's name in another letter case, where case counts",
       {"log.dbf"}, {"LOG.DBT"}, "log.dbt", nullptr,
       "The output log.dbt would be taken for the memo file of log.dbf; "
       "nothing was written"},
      {"a memo file's name with no memo file there", {"sub/Log.dbf"}, {},
       "sub/LOG.fpt",
       [](ConvertCommandLine*, FakeFileSystem* files) {
         files->PutFolder("sub");
       },
       "The output sub/LOG.fpt would be taken for the memo file of "
       "sub/Log.dbf; nothing was written"},
      {"a memo file's name in another folder", {"sub/log.dbf"}, {}, "log.fpt",
       nullptr, ""},
      {"a mapping file", {"log.dbf"}, {"my.map"}, "my.map",
       [](ConvertCommandLine* options, FakeFileSystem*) {
         options->map_files = {"my.map"};
       },
       "The output my.map would replace the input my.map; nothing was "
       "written"},
      {"two tables, one output", {"A.dbf", "A.DBF"}, {}, "", nullptr,
       "A.dbf and A.DBF would both be converted to A.ADI; nothing was "
       "written"},
      {"a table and its copy", {"log.dbf", "log.bak"}, {}, "", nullptr,
       "log.dbf and log.bak would both be converted to log.ADI; nothing was "
       "written"},
      {"two outputs in another letter case, where case is ignored",
       {"a.dbf", "A.dbf"}, {}, "",
       [](ConvertCommandLine*, FakeFileSystem* files) {
         files->ignore_case = true;
       },
       "a.dbf and A.dbf would both be converted to a.ADI; nothing was "
       "written"},
      {"one table's output is another table", {"x.dbf", "x.ADI"}, {}, "",
       nullptr,
       "The output x.ADI would replace the input x.ADI; nothing was "
       "written"},
      {"a table named like the output that is not there", {"x.dbf", "x.ADI"},
       {}, "",
       [](ConvertCommandLine*, FakeFileSystem* files) {
         files->entries.erase("x.ADI");
       },
       ""},
      {"adx beside an ADX table", {"log.dbf", "log.ADX"}, {}, "",
       [](ConvertCommandLine* options, FakeFileSystem*) {
         options->format = OutputFormat::kAdx;
       },
       "The output log.ADX would replace the input log.ADX; nothing was "
       "written"},
      {"a merge into a table's memo file", {"a.dbf", "b.dbf"}, {"b.dbt"},
       "b.dbt",
       [](ConvertCommandLine* options, FakeFileSystem*) {
         options->merge = true;
       },
       "The output b.dbt would replace the input b.dbt; nothing was "
       "written"},
      {"a merge of a table twice", {"a.dbf", "a.dbf"}, {}, "all.adi",
       [](ConvertCommandLine* options, FakeFileSystem*) {
         options->merge = true;
       },
       ""},
      {"in Spanish", {"A.dbf", "A.DBF"}, {}, "",
       [](ConvertCommandLine* options, FakeFileSystem*) {
         options->language = kSpanish;
       },
       "A.dbf y A.DBF se convertir\xED""an las dos en A.ADI; no se ha escrito "
       "nada"},
      {"in Spanish, an input", {"log.dbf"}, {}, "log.dbf",
       [](ConvertCommandLine* options, FakeFileSystem*) {
         options->language = kSpanish;
       },
       "La salida log.dbf sustituir\xED""a a la entrada log.dbf; no se ha "
       "escrito nada"},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFileSystem files;
    ConvertCommandLine options;
    options.inputs = c.tables;
    options.output = c.output;
    for (const std::string& table : c.tables) files.Put(table, "table");
    for (const std::string& path : c.files) files.Put(path, "file");
    if (c.more) c.more(&options, &files);
    const FakeFileSystem before = files;
    std::string refusal;
    EXPECT_EQ(c.refusal.empty(), JudgeRunPlan(PlanRun(options, files), files,
                                              options.language, &refusal));
    EXPECT_EQ(c.refusal, refusal);
    EXPECT_EQ(before.Listing(), files.Listing());
  }
}

}  // namespace
