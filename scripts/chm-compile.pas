{ chm-compile PROJECT.hhp OUTPUT.chm: compiles a help project with the chm units of
  Free Pascal's component library, as chmcmd does, except for the topic aliases.

  chmcmd 3.2 stores each alias as the absolute path of the page's source file, so the
  help viewer asks the .chm for "<build folder>/page.html" and every build folder gives
  a different file. Here an alias is the page's name relative to the project, which is
  where the page is stored inside the .chm, so the file no longer depends on where it
  was built. The project may use the options, files, aliases and map only: a table of
  contents, an index or merged files are refused rather than silently left out. }
program chmcompile;

{$mode objfpc}{$H+}

uses
  Classes, SysUtils, chmfilewriter, chmwriter;

type
  TRelativeAliasProject = class(TChmProject)
  public
    procedure WriteChm(AOutStream: TStream); override;
  end;

procedure TRelativeAliasProject.WriteChm(AOutStream: TStream);
var
  Writer: TChmWriter;
  Node: TChmContextNode;
  I: Integer;
begin
  if (TableOfContentsFileName <> '') or (IndexFileName <> '') or (MergeFiles.Count > 0) then
    raise Exception.Create('contents, index and merged files are not supported');
  Writer := TChmWriter.Create(AOutStream, False);
  try
    Writer.OnGetFileData := @GetData;
    Writer.FilesToCompress.AddStrings(Files);
    Writer.FilesToCompress.AddStrings(OtherFiles);
    Writer.DefaultPage := DefaultPage;
    Writer.Title := Title;
    Writer.DefaultFont := DefaultFont;
    Writer.FullTextSearch := MakeSearchable;
    Writer.HasBinaryTOC := False;
    Writer.HasBinaryIndex := False;
    Writer.ReadmeMessage := ReadmeMessage;
    Writer.DefaultWindow := DefaultWindow;
    Writer.LocaleID := LocaleID;
    if Windows.Count > 0 then
      Writer.Windows := Windows;
    for I := 0 to Files.Count - 1 do
    begin
      Node := TChmContextNode(Files.Objects[I]);
      if not FileExists(ProjectDir + Files[I]) then
        raise Exception.Create('missing page ' + Files[I]);
      if Assigned(Node) and (Node.ContextNumber <> 0) then
        Writer.AddContext(Node.ContextNumber, Files[I]);
    end;
    Writer.Execute;
  finally
    Writer.Free;
  end;
end;

procedure ReportProblem(Project: TChmProject; Kind: TChmProjectErrorKind; Msg: String;
  DetailLevel: Integer);
begin
  if Kind in [chmerror, chmwarning] then
    WriteLn(StdErr, ChmErrorKindText[Kind], ': ', Msg);
end;

var
  Project: TRelativeAliasProject;
  Output: TFileStream;
begin
  if ParamCount <> 2 then
  begin
    WriteLn(StdErr, 'usage: chm-compile PROJECT.hhp OUTPUT.chm');
    Halt(2);
  end;
  Project := TRelativeAliasProject.Create;
  try
    try
      Project.OnError := @ReportProblem;
      Project.LoadFromhhp(ParamStr(1), False);
      Project.ScanHtmlContents := False;
      Project.ReadmeMessage := 'Tollevane help';
      Output := TFileStream.Create(ParamStr(2), fmCreate);
      try
        Project.WriteChm(Output);
      finally
        Output.Free;
      end;
    except
      on E: Exception do
      begin
        WriteLn(StdErr, 'chm-compile: ', E.Message);
        DeleteFile(ParamStr(2));
        Halt(1);
      end;
    end;
  finally
    Project.Free;
  end;
end.
