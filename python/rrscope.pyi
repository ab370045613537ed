"""Type stubs of the rrscope module (heart rate variability from ECG)."""

import os
from typing import Any, Literal, Optional, Sequence, Tuple, Union, overload

import numpy as np
import numpy.typing as npt

__version__: str

DETECTED: int
MOVED: int
INSERTED: int

ArrayLike = Union[npt.NDArray[np.floating[Any]], npt.NDArray[np.integer[Any]], Sequence[float]]
StretchesLike = Union[npt.NDArray[np.floating[Any]], npt.NDArray[np.integer[Any]], Sequence[Sequence[float]]]
Path = Union[str, "os.PathLike[str]"]
Windows = Union[str, Tuple[float, float], Sequence[float]]

class Recording:
    """One channel of a recording, in physical units."""

    @property
    def samples(self) -> npt.NDArray[np.float64]: ...
    rate_hz: float
    channel: str
    units: str
    file: str
    @property
    def invalid(self) -> npt.NDArray[np.int64]: ...
    warnings: list[str]

class Annotations:
    """The beats of an annotation file."""

    @property
    def samples(self) -> npt.NDArray[np.int64]: ...
    labels: list[str]
    time_resolution_hz: Optional[float]

class Correction:
    """The beats after the artefact correction."""

    beats: npt.NDArray[np.float64]
    counts: dict[str, int]
    sources: npt.NDArray[np.int8]
    removed: npt.NDArray[np.float64]

class Analysis:
    """The analysis of one lead, as rrscope-batch makes it."""

    rate_hz: float
    detected: npt.NDArray[np.float64]
    unreadable: npt.NDArray[np.float64]
    invalid_samples: int
    nn_beats: npt.NDArray[np.float64]
    classes: str
    corrections: Optional[dict[str, int]]
    nn_ms: npt.NDArray[np.float64]
    nn_ends_ms: npt.NDArray[np.float64]
    excluded_beats: int
    excluded_intervals: int
    ectopic_intervals: int
    interpolated_intervals: int

def read_recording(path: Path, signal: Union[int, np.integer[Any], str, None] = None) -> Recording: ...
def read_annotations(path: Path) -> Annotations: ...
@overload
def detect_beats(
    samples: ArrayLike,
    rate_hz: float,
    *,
    leads: Optional[Sequence[ArrayLike]] = None,
    quality: Literal[False] = False,
    invalid: Optional[StretchesLike] = None,
    method: Literal["pan-tompkins"] = "pan-tompkins",
) -> npt.NDArray[np.float64]: ...
@overload
def detect_beats(
    samples: ArrayLike,
    rate_hz: float,
    *,
    leads: Optional[Sequence[ArrayLike]] = None,
    quality: Literal[True],
    invalid: Optional[StretchesLike] = None,
    method: Literal["pan-tompkins"] = "pan-tompkins",
) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]: ...
def qrs_signal(samples: ArrayLike, rate_hz: float) -> dict[str, Any]: ...
def correct_artefacts(beats: ArrayLike, rate_hz: float, samples: Optional[ArrayLike] = None) -> Correction: ...
def classify_beats(samples: ArrayLike, rate_hz: float, beats: ArrayLike) -> str:
    """One letter per beat: N, S, V, F or Q (the EC57 classes)."""
    ...

@overload
def nn_intervals(
    beats: ArrayLike,
    rate_hz: float,
    unreadable: Optional[StretchesLike] = None,
    *,
    classes: Optional[str] = None,
    ectopic: Literal["exclude", "interpolate"] = "exclude",
    ends: Literal[False] = False,
) -> npt.NDArray[np.float64]: ...
@overload
def nn_intervals(
    beats: ArrayLike,
    rate_hz: float,
    unreadable: Optional[StretchesLike] = None,
    *,
    classes: Optional[str] = None,
    ectopic: Literal["exclude", "interpolate"] = "exclude",
    ends: Literal[True],
) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]: ...
def analyse(
    samples: Union[Path, Recording, ArrayLike],
    rate_hz: Optional[float] = None,
    *,
    invalid: Optional[StretchesLike] = None,
    correct: bool = False,
    classify: bool = False,
    ectopic: Literal["exclude", "interpolate"] = "exclude",
) -> Analysis: ...
@overload
def hrv(
    intervals_ms: Union[Analysis, ArrayLike],
    detrend: Optional[str] = None,
    windows: None = None,
    *,
    lambda_: float = 500.0,
    ends_ms: Optional[ArrayLike] = None,
    curves: bool = False,
    as_frame: Literal[False] = False,
) -> dict[str, Any]: ...
@overload
def hrv(
    intervals_ms: Union[Analysis, ArrayLike],
    detrend: Optional[str] = None,
    *,
    windows: Windows,
    lambda_: float = 500.0,
    ends_ms: Optional[ArrayLike] = None,
    as_frame: Literal[False] = False,
) -> list[dict[str, Any]]: ...
@overload
def hrv(
    intervals_ms: Union[Analysis, ArrayLike],
    detrend: Optional[str],
    windows: Windows,
    *,
    lambda_: float = 500.0,
    ends_ms: Optional[ArrayLike] = None,
    as_frame: Literal[False] = False,
) -> list[dict[str, Any]]: ...
@overload
def hrv(
    intervals_ms: Union[Analysis, ArrayLike],
    detrend: Optional[str] = None,
    windows: Optional[Windows] = None,
    *,
    lambda_: float = 500.0,
    ends_ms: Optional[ArrayLike] = None,
    curves: bool = False,
    as_frame: Literal[True],
) -> Any: ...  # a pandas DataFrame; pandas is optional
def score_beats(
    detected: ArrayLike, reference: ArrayLike, rate_hz: float, window_ms: float = 150.0
) -> dict[str, float]: ...
