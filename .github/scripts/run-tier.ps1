# Runs one test tier of the Windows workflow, as ctest runs it under Wine:
# PROGRAM and its arguments from run\PASS, where the layout step put the
# shipped Belltide folder (unzipped) and the test programs; "belltide.exe"
# among the arguments stands for that folder's belltide.exe.
#   ja-JP: beside manifests with activeCodePage ja-JP, the program and the
#          shipped belltide.exe run with code page 932 (Japanese passes);
#   en-US: as they are, with BELLTIDE_LOCALE=en_US.UTF-8 (English passes).
# With -Zip, the zip is first unpacked into a fresh folder whose path holds
# spaces and Japanese characters, and its belltide.exe is the one run
# (tests/e2e/released_zip.sh under Wine).
# GoogleTest's report goes to logs\NAME.xml and the output to logs\NAME.log.
# Fails if the program fails, runs no test, or skips any: a pass skipped for
# its code page fails here.
[CmdletBinding(PositionalBinding = $false)]
param(
  [Parameter(Mandatory)][ValidateSet('ja-JP', 'en-US')][string]$Pass,
  [Parameter(Mandatory)][string]$Name,
  [string]$Zip,
  [Parameter(Mandatory, Position = 0)][string]$Program,
  [Parameter(Position = 1, ValueFromRemainingArguments)][string[]]$Arguments = @()
)
$ErrorActionPreference = 'Stop'
$root = $PWD
$folder = Join-Path $root "run\$Pass"
$logs = New-Item -ItemType Directory -Force (Join-Path $root 'logs')
$belltide = Join-Path $folder 'Belltide\belltide.exe'
if ($Zip) {
  $place = New-Item -ItemType Directory -Force (Join-Path $env:RUNNER_TEMP "$Name\My Sounds 効果音ソ")
  Expand-Archive -LiteralPath (Resolve-Path $Zip) -DestinationPath $place -Force
  $belltide = Join-Path $place 'Belltide\belltide.exe'
  $manifest = Join-Path $folder 'Belltide\belltide.exe.manifest'
  if (Test-Path -LiteralPath $manifest) { Copy-Item -LiteralPath $manifest -Destination "$belltide.manifest" }
  (Get-Item -LiteralPath $belltide).LastWriteTime = Get-Date  # no cached activation context
}
$Arguments = @($Arguments | ForEach-Object { if ($_ -eq 'belltide.exe') { $belltide } else { $_ } })
if ($Pass -eq 'en-US') { $env:BELLTIDE_LOCALE = 'en_US.UTF-8' } else { Remove-Item Env:BELLTIDE_LOCALE -ErrorAction Ignore }

$xml = Join-Path $logs "$Name.xml"
Write-Host "$Name ($Pass): $Program $($Arguments -join ' ')"
& (Join-Path $folder $Program) @Arguments "--gtest_output=xml:$xml" 2>&1 | Tee-Object -FilePath (Join-Path $logs "$Name.log")
$code = $LASTEXITCODE
if ($code -ne 0) { throw "${Name}: $Program failed with exit code $code" }
if (-not (Test-Path -LiteralPath $xml)) { throw "${Name}: $Program wrote no report" }
[xml]$report = Get-Content -LiteralPath $xml -Raw -Encoding UTF8
$run = @($report.SelectNodes('//testcase')).Count
# A test skips itself (result "skipped"); a skip in the global set-up, where
# the code-page check sits, runs no test at all, and GoogleTest lists each
# with the time stamp 0 (1970-01-01, or 1969-12-31 west of Greenwich).
$skipped = @($report.SelectNodes("//testcase[@result='skipped' or skipped or starts-with(@timestamp, '1970-01-01') or starts-with(@timestamp, '1969-12-31')]"))
if ($run -eq 0) { throw "${Name}: $Program ran no test" }
if ($skipped.Count -or (Select-String -LiteralPath (Join-Path $logs "$Name.log") -SimpleMatch 'ANSI code page' -Quiet)) {
  throw "${Name}: $($skipped.Count) of $run tests skipped or not run (the first: " +
        "$($skipped[0].classname).$($skipped[0].name)); no tier may be skipped here, least of all for its code page"
}
Write-Host "${Name}: $run tests passed"
